#pragma once
// Works a modal dialog from inside its own modal loop: a timer of a message-only window of this thread
// looks for the dialog by caption and, once it is up, hands it to `action` (which normally ends it).
#include "support/system_time.h"
#include "winui/window.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace testsupport {

// The enabled top-level dialog of this thread with this caption, or null.
inline HWND FindThreadDialog(const std::string& caption) {
    struct Search {
        const std::string* caption;
        HWND found;
    } search{&caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            char className[16] = {};
            char text[64] = {};
            GetClassNameA(window, className, sizeof className);
            GetWindowTextA(window, text, sizeof text);
            if (std::string(className) == "#32770" && *s.caption == text && IsWindowEnabled(window)) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class ModalDriver final : public winui::Window {
public:
    ModalDriver(std::string caption, std::function<void(HWND dialog)> action)
        : m_caption(std::move(caption)), m_action(std::move(action)) {
        CreateCustom(0, "", 0, RECT{}, HWND_MESSAGE, 0);
        SetTimer(Hwnd(), 1, 30, nullptr);
    }
    bool Acted() const { return m_acted; }

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_TIMER || m_acted) {
            return Window::OnMessage(message, wParam, lParam);
        }
        if (const HWND dialog = FindThreadDialog(m_caption)) {
            m_acted = true;
            KillTimer(Hwnd(), 1);
            m_action(dialog);
        }
        return 0;
    }

private:
    std::string m_caption;
    std::function<void(HWND)> m_action;
    bool m_acted = false;
};

// Sets a date and time picker of a dialog.
inline void SetPicker(HWND dialog, int id, const SYSTEMTIME& value) {
    SendDlgItemMessageA(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
}

} // namespace testsupport
