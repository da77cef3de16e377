#pragma once
// The main window's icon in the notification area: id 132, icon resource 132, tooltip "Orvalin", and
// WM_TRAYNOTIFY for the mouse.
#include <windows.h>

inline constexpr UINT kTrayIconId = 132;
// What the icon sends its window for the mouse (lParam: the mouse message).
inline constexpr UINT WM_TRAYNOTIFY = WM_USER + 0x02;

// Adds (NIM_ADD) or deletes (NIM_DELETE) the icon of `window`; the result of Shell_NotifyIconA.
BOOL NotifyTrayIcon(HWND window, DWORD operation);

// Shows the popup menu (menu resource 140) at the cursor for `owner`; the chosen command arrives at
// `owner` as WM_COMMAND. Does nothing without an owner or when the menu cannot be loaded.
void ShowTrayMenu(HWND owner);
