#pragma once
// What the live-update and support buttons hand to the shell.

// The support web page, opened in the user's browser.
inline constexpr char kSupportAddress[] = "https://orvalin.example/support";

// The live-update program, started from the program's own folder.
inline constexpr char kLiveUpdateProgram[] = "OrvalinLiveUpdate.exe";
