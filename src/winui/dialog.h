#pragma once
// A dialog box with a C++ object: a template from the program's resources or built in memory, run modally
// (RunModal) or modeless (CreateModeless). The object is bound from the first message its dialog procedure
// sees, so WM_SETFONT and WM_INITDIALOG already reach it.
//
// Answers follow the dialog manager's rules: WM_INITDIALOG, WM_CTLCOLOR*, WM_COMPAREITEM, WM_VKEYTOITEM,
// WM_CHARTOITEM and WM_QUERYDRAGICON return their value directly; any other handled message stores its
// value in DWLP_MSGRESULT. A modal dialog ends with End (EndDialog); a modeless one with Destroy.
#include <windows.h>

#include <optional>
#include <variant>

#include "winui/dialog_template.h"
#include "winui/window.h"

namespace winui {

class Dialog : public Window {
public:
    // A template of the program's resources (module null: the executable).
    explicit Dialog(UINT templateId, HINSTANCE module = nullptr);
    explicit Dialog(DialogTemplate templ);

    void SetTemplate(UINT templateId, HINSTANCE module = nullptr);
    void SetTemplate(DialogTemplate templ);

    // Runs the dialog modally; returns the value given to End, or -1 when the dialog could not be made.
    INT_PTR RunModal(HWND owner);
    // Creates the dialog modeless; its keyboard interface works through the thread's message loop.
    bool CreateModeless(HWND owner);

    // Ends a modal dialog with `result`. A modeless dialog is destroyed instead.
    void End(INT_PTR result);
    bool IsModal() const { return m_modal; }

protected:
    // Subclasses that override OnMessage pass what they do not handle to Dialog::OnMessage.
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // WM_INITDIALOG. Return true to let the dialog manager set the focus.
    virtual bool OnInitDialog() { return true; }
    // Enter (IDOK) and Esc or the close box (IDCANCEL): End with that id.
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    struct ResourceTemplate {
        UINT id;
        HINSTANCE module;
    };
    std::variant<ResourceTemplate, DialogTemplate> m_template;
    bool m_modal = false;
};

} // namespace winui
