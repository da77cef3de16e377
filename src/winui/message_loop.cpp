#include "winui/message_loop.h"

#include <algorithm>
#include <vector>

namespace winui {
namespace {

// Per thread, newest last; a dialog is only ever used by the thread that created it.
thread_local std::vector<HWND> modelessDialogs;

void Deliver(MSG& msg) {
    if (!PreTranslateDialogMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) {
            return -1;
        }
        if (!got) {
            return static_cast<int>(msg.wParam);
        }
        Deliver(msg);
    }
}

bool PreTranslateDialogMessage(MSG& msg) {
    // Newest first: the most recently opened dialog is the likeliest target.
    for (auto it = modelessDialogs.rbegin(); it != modelessDialogs.rend(); ++it) {
        const HWND dialog = *it;
        if (msg.hwnd && (msg.hwnd == dialog || IsChild(dialog, msg.hwnd)) && IsDialogMessageA(dialog, &msg)) {
            return true;
        }
    }
    return false;
}

void AddModelessDialog(HWND dialog) {
    if (dialog &&
        std::find(modelessDialogs.begin(), modelessDialogs.end(), dialog) == modelessDialogs.end()) {
        modelessDialogs.push_back(dialog);
    }
}

void RemoveModelessDialog(HWND dialog) {
    std::erase(modelessDialogs, dialog);
}

bool PumpWaitingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        Deliver(msg);
    }
    return true;
}

} // namespace winui
