#include "scan_dialog/restore_progress.h"

#include <utility>

namespace {

constexpr UINT WM_WORKDONE = WM_APP + 41;
constexpr UINT_PTR kStatusTimer = 1;
constexpr UINT kStatusEveryMs = 200;
constexpr int kTextId = 100;

winui::DialogTemplate ProgressTemplate(const std::string& title) {
    return winui::DialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 220,
                                 58, title);
}

} // namespace

WorkProgressDialog::WorkProgressDialog(std::string title, std::function<void()> work,
                                       std::function<std::string()> status)
    : winui::Dialog(ProgressTemplate(title)), m_work(std::move(work)), m_status(std::move(status)) {}

WorkProgressDialog::~WorkProgressDialog() {
    if (m_thread != nullptr) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
}

void WorkProgressDialog::Run(HWND owner) {
    if (RunModal(owner) == -1 && m_thread == nullptr) {
        m_work(); // no window: the work still runs, without its progress
    }
}

bool WorkProgressDialog::OnInitDialog() {
    RECT text{7, 7, 213, 30};
    RECT button{82, 36, 138, 50};
    MapDialogRect(Hwnd(), &text);
    MapDialogRect(Hwnd(), &button);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(Hwnd(), WM_GETFONT, 0, 0));
    m_text = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, text.left, text.top,
                             text.right - text.left, text.bottom - text.top, Hwnd(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), nullptr, nullptr);
    m_button =
        CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                        button.left, button.top, button.right - button.left, button.bottom - button.top,
                        Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), nullptr, nullptr);
    for (const HWND child : {m_text, m_button}) {
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    ShowStatus();
    m_thread = CreateThread(nullptr, 0, &WorkProgressDialog::WorkThread, this, 0, nullptr);
    if (m_thread == nullptr) {
        m_work();
        End(IDOK);
        return true;
    }
    SetTimer(Hwnd(), kStatusTimer, kStatusEveryMs, nullptr);
    return true;
}

DWORD WINAPI WorkProgressDialog::WorkThread(LPVOID param) {
    auto& self = *static_cast<WorkProgressDialog*>(param);
    self.m_work();
    PostMessageA(self.Hwnd(), WM_WORKDONE, 0, 0);
    return 0;
}

void WorkProgressDialog::OnCancel() {
    // The work stops between two steps and reports what it did; the window waits for it.
    m_cancel = true;
    EnableWindow(m_button, FALSE);
    SetWindowTextA(m_text, "Cancelling after the entry in hand...");
}

void WorkProgressDialog::ShowStatus() {
    if (!m_cancel) {
        SetWindowTextA(m_text, m_status().c_str());
    }
}

std::optional<LRESULT> WorkProgressDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kStatusTimer) {
            ShowStatus();
            return 0;
        }
        break;
    case WM_WORKDONE:
        KillTimer(Hwnd(), kStatusTimer);
        WaitForSingleObject(m_thread, INFINITE);
        End(IDOK);
        return 0;
    default:
        break;
    }
    return winui::Dialog::OnMessage(message, wParam, lParam);
}
