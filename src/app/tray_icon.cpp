#include "app/tray_icon.h"

#include <shellapi.h>

#include "resource.h"

BOOL NotifyTrayIcon(HWND window, DWORD operation) {
    NOTIFYICONDATAA data{};
    // The layout with the 128-character tooltip, which every supported system understands.
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAY));
    lstrcpynA(data.szTip, "Orvalin", sizeof data.szTip);
    return Shell_NotifyIconA(operation, &data);
}

void ShowTrayMenu(HWND owner) {
    if (!owner) {
        return;
    }
    const HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU));
    if (!menu) {
        return;
    }
    if (const HMENU popup = GetSubMenu(menu, 0)) {
        POINT cursor{};
        GetCursorPos(&cursor);
        // The owner must be in the foreground, or the menu stays open when the user clicks elsewhere;
        // WM_NULL afterwards lets the next click reach its target.
        SetForegroundWindow(owner);
        TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
        PostMessageA(owner, WM_NULL, 0, 0);
    }
    DestroyMenu(menu);
}
