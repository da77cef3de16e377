#pragma once
// The process-wide values shared by the main window, its pages and the scan dialog. They are the only
// globals of the program. The two flags are atomics because the scan dialog's thread clears them.
#include <atomic>
#include <string>

class CSkinDialog;
class CSubMainSkin;

// The command line asked for a scan at start ("scan", exactly).
extern std::atomic<bool> ScanAtStartup;
// A scan dialog is open; set by the page that starts one, cleared by the scan dialog when it closes.
extern std::atomic<bool> ScanDialogOpen;
// The open scan dialog, or null; set and cleared by the scan dialog itself, on its own thread.
extern std::atomic<CSkinDialog*> g_pSummary;
// Full path of the skin file, set by the main screen while it builds its pages (main thread only).
extern std::string SkinPath;
// The most recently constructed page (main thread only).
extern CSubMainSkin* LastSubScreen;
