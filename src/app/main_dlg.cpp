#include "app/main_dlg.h"

#include <ole2.h>

#include "app/about_dlg.h"
#include "app/single_instance.h"
#include "app/tray_icon.h"
#include "resource.h"
#include "skin/app_state.h"
#include "skin/skin_messages.h"
#include "winui/gdi_scoped.h"

namespace {

constexpr char kMainPage[] = "SUBMAIN_MAIN";
constexpr char kSchedulePage[] = "SUBMAIN_SCHEDULE";
constexpr char kLiveUpdatePage[] = "SUBMAIN_LIVEUPDATE";
constexpr char kSupportPage[] = "SUBMAIN_SUPPORT";

// Sent to every top-level window when the shell's taskbar (re)starts: the icons are gone then.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

} // namespace

CMainDlg::CMainDlg(base::MessageBoxes& boxes, PanelCommands commands)
    : CMainSkin(IDD_MAIN_DIALOG, boxes, std::move(commands)),
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::OnInitDialog() {
    // The dialog procedure never sees WM_CREATE, so the icon is added on the dialog's first message of
    // its own; it goes with WM_DESTROY.
    m_bTrayIcon = NotifyTray(NIM_ADD) != FALSE;
    if (!m_strInstanceName.empty()) {
        MarkInstanceWindow(Hwnd(), m_strInstanceName);
    }
    // An elevated window still hears the shell's restart and a later start of the program.
    ChangeWindowMessageFilterEx(Hwnd(), TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
    ChangeWindowMessageFilterEx(Hwnd(), HandOverMessage(), MSGFLT_ALLOW, nullptr);

    SetCaption("Orvalin");
    SetSkinFile("Skin.ini");
    if (!Initialize()) {
        return false; // no skin: the window can then be left only through the menu's Close
    }
    if (!CMainSkin::OnInitDialog()) {
        return true; // no skin: the dialog is ending already
    }
    ShowSubScreen(kMainPage);

    // The template has no system menu, so the About entry would be out of reach. A window without a
    // caption draws nothing for it; the menu opens from the taskbar button and with Alt+Space.
    ModifyStyle(0, WS_SYSMENU);
    if (const HMENU systemMenu = GetSystemMenu(Hwnd(), FALSE)) {
        char text[256] = {};
        if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof text) > 0) {
            AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(systemMenu, MF_STRING, kAboutCommand, text);
        }
    }
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    return true;
}

void CMainDlg::ButtonPressed(const std::string& name) {
    if (name == "BUTTON_EXIT") {
        End(IDOK);
    } else if (name == "BUTTON_MAIN") {
        SwitchToPage(kMainPage, name);
    } else if (name == "BUTTON_SCHEDULE") {
        SwitchToPage(kSchedulePage, name);
    } else if (name == "BUTTON_LIVEUPDATE") {
        SwitchToPage(kLiveUpdatePage, name);
    } else if (name == "BUTTON_SUPPORT") {
        SwitchToPage(kSupportPage, name);
    } else if (name == "BUTTON_MINIMIZE") {
        Show(SW_SHOWMINIMIZED); // WM_SIZE then hides the window
    }
}

void CMainDlg::SwitchToPage(const std::string& page, const std::string& button) {
    ShowSubScreen(page);
    EnableAllButtons(true);
    EnableButton(button, false);
}

void CMainDlg::BringForward() {
    Show(SW_SHOWNORMAL);
    SetForegroundWindow(Hwnd());
}

void CMainDlg::OnMenuCommand(UINT id) {
    switch (id) {
    case ID_TRAY_SHOW:
        BringForward();
        SetFocus(Hwnd());
        break;
    case ID_TRAY_RUN:
        BringForward();
        SwitchToPage(kMainPage, "BUTTON_MAIN");
        if (LastSubScreen) {
            LastSubScreen->ButtonPressed("BUTTON_SCAN"); // opens the scan dialog unless one is open
        }
        SetFocus(Hwnd());
        break;
    case ID_TRAY_SCHEDULE:
        BringForward();
        SetFocus(Hwnd());
        SwitchToPage(kSchedulePage, "BUTTON_SCHEDULE");
        break;
    case ID_TRAY_LIVEUPDATE:
        BringForward();
        SwitchToPage(kLiveUpdatePage, "BUTTON_LIVEUPDATE");
        SetFocus(Hwnd());
        break;
    case ID_TRAY_SUPPORT:
        BringForward();
        SwitchToPage(kSupportPage, "BUTTON_SUPPORT");
        SetFocus(Hwnd());
        break;
    case ID_TRAY_CLOSE:
        End(IDOK);
        break;
    default:
        break;
    }
}

std::optional<LRESULT> CMainDlg::OnTrayNotify(WPARAM id, LPARAM mouse) {
    if (id != kTrayIconId) {
        return std::nullopt;
    }
    if (mouse == WM_LBUTTONDBLCLK) {
        BringForward();
        SetFocus(Hwnd());
        return 1;
    }
    if (mouse == WM_RBUTTONUP) {
        ShowTrayMenu(Hwnd());
    }
    return std::nullopt;
}

BOOL CMainDlg::NotifyTray(DWORD operation) {
    return NotifyTrayIcon(Hwnd(), operation);
}

void CMainDlg::ShowAboutBox() {
    CAboutDlg about;
    about.RunModal(Hwnd());
}

void CMainDlg::OnPaint() {
    if (!IsIconic(Hwnd())) {
        CMainSkin::OnPaint();
        return;
    }
    winui::PaintDc paint(Hwnd());
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Get()));
    const RECT client = ClientRect();
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.Get(), x, y, m_hIcon);
}

std::optional<LRESULT> CMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == TaskbarCreatedMessage()) {
        // A new shell has no icons; one that kept ours refuses a second add but takes a change.
        m_bTrayIcon = NotifyTray(NIM_ADD) || NotifyTray(NIM_MODIFY);
        return 0;
    }
    if (message != 0 && message == HandOverMessage()) {
        OnMenuCommand(wParam == 1 ? ID_TRAY_RUN : ID_TRAY_SHOW);
        return 0;
    }
    switch (message) {
    case WM_TRAYNOTIFY:
        return OnTrayNotify(wParam, lParam);
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == kAboutCommand) {
            ShowAboutBox();
            return 0;
        }
        return std::nullopt;
    case WM_EXITMENULOOP:
        // A menu of the window may have drawn on it (Wine draws the system-menu button of a window
        // without caption at its top left): repaint the whole screen.
        Invalidate(false);
        return std::nullopt;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_CLOSE:
        // Alt+F4 and the system menu's Close end the program as the menu's Close does; the dialog manager
        // would turn them into IDCANCEL, which Esc also sends and which must do nothing.
        End(IDOK);
        return 0;
    case WM_SIZE:
        // Hidden only when the notification-area icon can bring it back; otherwise it stays on the taskbar.
        if (wParam == SIZE_MINIMIZED && m_bTrayIcon) {
            Show(SW_HIDE);
        }
        return std::nullopt;
    case WM_DESTROY:
        WinHelpA(Hwnd(), nullptr, HELP_QUIT, 0);
        NotifyTray(NIM_DELETE);
        m_bTrayIcon = false;
        if (!m_strInstanceName.empty()) {
            RemovePropA(Hwnd(), m_strInstanceName.c_str());
        }
        return CMainSkin::OnMessage(message, wParam, lParam);
    case WM_COMMAND:
        if (lParam == 0 && (LOWORD(wParam) == ID_TRAY_SHOW ||
                            (LOWORD(wParam) >= ID_TRAY_CLOSE && LOWORD(wParam) <= ID_TRAY_SUPPORT))) {
            OnMenuCommand(LOWORD(wParam));
            return 0;
        }
        return CMainSkin::OnMessage(message, wParam, lParam);
    default:
        return CMainSkin::OnMessage(message, wParam, lParam);
    }
}
