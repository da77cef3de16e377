#pragma once
// A C++ object bound to one HWND. One static procedure per kind of binding forwards every message to the
// object's OnMessage, which says whether it handled the message by returning a value or std::nullopt.
//
// Three ways to bind:
//  - CreateCustom: a window of the layer's own class; the object is bound at WM_NCCREATE (GWLP_USERDATA).
//  - Control::Create / Control::Attach: a standard control (BUTTON, STATIC, SysListView32...) subclassed
//    with SetWindowSubclass; messages it does not handle go to the control's own procedure.
//  - Dialog (dialog.h): bound through the dialog procedure.
//
// Contracts:
//  - The object is owned by C++ code (a member or a unique_ptr), never by the window. Destroying the object
//    first unbinds it and then destroys its window. A window destroyed first (by its parent, by the user)
//    unbinds at WM_NCDESTROY and the object stays, without a window, until its owner deletes it.
//  - A handler may delete its own object (for example a click that rebuilds the screen the button is on);
//    the dispatcher notices and touches nothing of it afterwards.
//  - Notifications a control sends to its parent (WM_DRAWITEM, WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*,
//    scroll messages) are first offered to the sending control's object (OnReflected) when the parent is
//    bound as well; if the control declines, the parent handles the message as usual.
//  - An HWND and its object are used only on the thread that created the window.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace winui {

class Window {
public:
    Window();
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The bound object of a window, or null for a window no object of this process is bound to.
    static Window* FromHandle(HWND window);

    HWND Hwnd() const { return m_hwnd; }
    bool IsWindow() const { return m_hwnd != nullptr; }

    // Creates a window of the layer's own window class (arrow cursor, no background brush, double clicks).
    bool CreateCustom(DWORD exStyle, const std::string& title, DWORD style, const RECT& rect, HWND parent,
                      UINT_PTR idOrMenu);

    // Destroys the window (the object stays). Safe to call without a window.
    void Destroy();

    // Thin helpers over the window's handle; each does nothing without a window.
    void Invalidate(bool erase = true) const;
    void Show(int command) const;
    void Enable(bool enable) const;
    bool IsEnabled() const;
    bool IsVisible() const;
    RECT ClientRect() const;
    void ModifyStyle(DWORD remove, DWORD add) const;
    std::string Caption() const;
    void SetCaption(const std::string& text) const;
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

protected:
    // One message for the object. Return a value to answer it, std::nullopt for default processing.
    virtual std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // A notification this control sent to its (bound) parent. Return a value to answer it in the parent's
    // place, std::nullopt to let the parent handle it.
    virtual std::optional<LRESULT> OnReflected(UINT message, WPARAM wParam, LPARAM lParam);

    // Called after the window is gone and the object is unbound (last thing at WM_NCDESTROY).
    virtual void OnFinalMessage() {}

    // The default processing of the binding: DefWindowProcA, the control's own procedure, or 0 for dialogs.
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);

    enum class Binding { None, OwnClass, Subclass, Dialog };
    void Bind(HWND window, Binding binding);
    void Unbind();
    Binding BindingKind() const { return m_binding; }

    // Runs one message through reflection, OnMessage and, when no handler answered, the binding's default
    // processing. `handled` tells whether a handler answered. Unbinds at WM_NCDESTROY.
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    static LRESULT CALLBACK OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);

private:
    std::optional<LRESULT> Reflect(UINT message, WPARAM wParam, LPARAM lParam);
    void AfterNcDestroy(HWND window);

    HWND m_hwnd = nullptr;
    Binding m_binding = Binding::None;
    // Cleared by the destructor, so a dispatcher that outlives its object's deletion can tell.
    std::shared_ptr<bool> m_alive;
};

// A standard control (BUTTON, STATIC, SysListView32...) with a C++ object, bound by subclassing.
class Control : public Window {
public:
    // Creates the control window (CreateWindowExA) and subclasses it; OnAttached runs before this returns.
    bool Create(const char* className, const std::string& text, DWORD style, const RECT& rect, HWND parent,
                UINT id, DWORD exStyle = 0);
    // Subclasses an existing control of this thread (for example a dialog item).
    bool Attach(HWND control);

protected:
    // Right after subclassing: the place to adjust styles.
    virtual void OnAttached() {}
};

} // namespace winui
