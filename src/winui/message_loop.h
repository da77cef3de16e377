#pragma once
// The message loop of a user-interface thread, with the keyboard handling of the thread's modeless dialogs.
#include <windows.h>

namespace winui {

// GetMessageA / TranslateMessage / DispatchMessageA until WM_QUIT; returns the quit code (-1 when
// GetMessageA fails). Messages for a modeless dialog of this thread go through IsDialogMessageA first.
int RunMessageLoop();

// Lets the thread's modeless dialogs see a message first; true when one of them consumed it.
bool PreTranslateDialogMessage(MSG& msg);

// A modeless dialog registers itself while it exists (Dialog does this).
void AddModelessDialog(HWND dialog);
void RemoveModelessDialog(HWND dialog);

// Runs the messages that are already waiting and returns (tests and long operations on a UI thread).
// Returns false when WM_QUIT was seen (it is posted again for the outer loop).
bool PumpWaitingMessages();

} // namespace winui
