#pragma once
// The main window: the skinned main screen plus its frame: title and skin file, the system-menu About
// entry, the icons, the notification-area icon with its popup menu, hiding into the notification area when
// minimised, the main-screen buttons and the menu commands. Enter and Esc do nothing; the window ends
// through BUTTON_EXIT, the menu's Close, the Close command (Alt+F4), or a missing skin.
#include <windows.h>

#include <string>

#include "base/com.h"
#include "base/message_box.h"
#include "base/unique_handle.h"
#include "skin/main_skin.h"

// OLE for the life of the main window. A base of CMainDlg ahead of the screen, so that it is released only
// after everything of the screen (the animation's control among it) is gone.
class CMainDlg : private base::OleScope, public CMainSkin {
public:
    explicit CMainDlg(base::MessageBoxes& boxes = base::SystemMessageBoxes(), PanelCommands commands = {});
    ~CMainDlg() override;

    // Reacts to a click on a main-screen button: "BUTTON_EXIT", the four page buttons, "BUTTON_MINIMIZE".
    void ButtonPressed(const std::string& name) override;

    // Shows a page: the page itself, every main-screen button enabled, then `button` disabled, so the
    // current page's button looks selected.
    void SwitchToPage(const std::string& page, const std::string& button);

    HICON Icon() const { return m_hIcon; }

    // The user's copy: the window is marked with `name` (see single_instance.h) while it exists, and
    // answers a later start's hand-over.
    void SetInstanceName(const std::string& name) { m_strInstanceName = name; }
    // Whether the notification-area icon is there now (the last add, or re-add, succeeded).
    bool HasTrayIcon() const { return m_bTrayIcon; }

protected:
    bool OnInitDialog() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    // Enter and Esc do nothing.
    void OnOK() override {}
    void OnCancel() override {}

    // The About box, modal (tests replace it).
    virtual void ShowAboutBox();
    // Shell_NotifyIconA for the window's icon (tests replace it).
    virtual BOOL NotifyTray(DWORD operation);

private:
    void OnMenuCommand(UINT id);
    void BringForward();
    std::optional<LRESULT> OnTrayNotify(WPARAM id, LPARAM mouse);

    HICON m_hIcon;
    bool m_bTrayIcon = false;
    std::string m_strInstanceName;
};

// System-menu command of the About entry; commands 16 to 31 all open the About box.
inline constexpr UINT kAboutCommand = 0x0010;
