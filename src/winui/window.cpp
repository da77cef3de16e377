#include "winui/window.h"

#include <commctrl.h>

#include <vector>

#include "winui/ui_thread.h"

namespace winui {
namespace {

// The property that names a window's object; lets FromHandle work for every kind of binding.
constexpr char kObjectProperty[] = "Orvalin.WindowObject";
constexpr char kOwnClassName[] = "OrvalinWindow";
constexpr UINT_PTR kSubclassId = 0x4F52564C; // any constant unique to this layer

// The window whose bound object should answer a notification, when the message is one the layer reflects.
HWND NotificationSender(HWND parent, UINT message, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM:
        return lParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
        return lParam
                   ? GetDlgItem(parent,
                                static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID))
                   : nullptr;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}

} // namespace

Window::Window() : m_alive(std::make_shared<bool>(true)) {}

Window::~Window() {
    *m_alive = false;
    const HWND window = m_hwnd;
    Unbind();
    if (window && ::IsWindow(window)) {
        DestroyWindow(window);
    }
}

Window* Window::FromHandle(HWND window) {
    if (!window) {
        return nullptr;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) {
        return nullptr;
    }
    return static_cast<Window*>(GetPropA(window, kObjectProperty));
}

void Window::Bind(HWND window, Binding binding) {
    m_hwnd = window;
    m_binding = binding;
    SetPropA(window, kObjectProperty, this);
}

void Window::Unbind() {
    if (!m_hwnd) {
        return;
    }
    RemovePropA(m_hwnd, kObjectProperty);
    switch (m_binding) {
    case Binding::OwnClass:
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
        break;
    case Binding::Subclass:
        RemoveWindowSubclass(m_hwnd, &Window::SubclassProc, kSubclassId);
        break;
    case Binding::Dialog:
        SetWindowLongPtrA(m_hwnd, DWLP_USER, 0);
        break;
    case Binding::None:
        break;
    }
    m_hwnd = nullptr;
    m_binding = Binding::None;
}

bool Window::CreateCustom(DWORD exStyle, const std::string& title, DWORD style, const RECT& rect, HWND parent,
                          UINT_PTR idOrMenu) {
    if (m_hwnd) {
        return false;
    }
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(module, kOwnClassName, &wc)) {
        wc = WNDCLASSEXA{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Window::OwnClassProc;
        wc.hInstance = module;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = kOwnClassName;
        if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            return false;
        }
    }
    const HWND window = CreateWindowExA(exStyle, kOwnClassName, title.c_str(), style, rect.left, rect.top,
                                        rect.right - rect.left, rect.bottom - rect.top, parent,
                                        reinterpret_cast<HMENU>(idOrMenu), module, this);
    if (window && m_hwnd != window) {
        // The window exists but was not bound to this object: refuse to use it.
        DestroyWindow(window);
        return false;
    }
    return window != nullptr;
}

void Window::Destroy() {
    if (m_hwnd) {
        DestroyWindow(m_hwnd);
    }
}

void Window::Invalidate(bool erase) const {
    if (m_hwnd) {
        InvalidateRect(m_hwnd, nullptr, erase ? TRUE : FALSE);
    }
}

void Window::Show(int command) const {
    if (m_hwnd) {
        ShowWindow(m_hwnd, command);
    }
}

void Window::Enable(bool enable) const {
    if (m_hwnd) {
        EnableWindow(m_hwnd, enable ? TRUE : FALSE);
    }
}

bool Window::IsEnabled() const {
    return m_hwnd && IsWindowEnabled(m_hwnd);
}

bool Window::IsVisible() const {
    return m_hwnd && IsWindowVisible(m_hwnd);
}

RECT Window::ClientRect() const {
    RECT rc{};
    if (m_hwnd) {
        GetClientRect(m_hwnd, &rc);
    }
    return rc;
}

void Window::ModifyStyle(DWORD remove, DWORD add) const {
    if (m_hwnd) {
        const LONG_PTR style = GetWindowLongPtrA(m_hwnd, GWL_STYLE);
        SetWindowLongPtrA(m_hwnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(remove)) | add);
    }
}

std::string Window::Caption() const {
    if (!m_hwnd) {
        return {};
    }
    const int length = GetWindowTextLengthA(m_hwnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(m_hwnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

void Window::SetCaption(const std::string& text) const {
    if (m_hwnd) {
        SetWindowTextA(m_hwnd, text.c_str());
    }
}

LRESULT Window::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return m_hwnd ? SendMessageA(m_hwnd, message, wParam, lParam) : 0;
}

std::optional<LRESULT> Window::OnMessage(UINT, WPARAM, LPARAM) {
    return std::nullopt;
}

std::optional<LRESULT> Window::OnReflected(UINT, WPARAM, LPARAM) {
    return std::nullopt;
}

LRESULT Window::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (m_binding) {
    case Binding::OwnClass:
        return DefWindowProcA(m_hwnd, message, wParam, lParam);
    case Binding::Subclass:
        return DefSubclassProc(m_hwnd, message, wParam, lParam);
    case Binding::Dialog:
    case Binding::None:
        return 0;
    }
    return 0;
}

std::optional<LRESULT> Window::Reflect(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND sender = NotificationSender(m_hwnd, message, lParam);
    if (!sender || sender == m_hwnd || GetParent(sender) != m_hwnd) {
        return std::nullopt;
    }
    Window* child = FromHandle(sender);
    if (!child) {
        return std::nullopt;
    }
    return child->OnReflected(message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    const std::shared_ptr<bool> alive = m_alive;
    const HWND window = m_hwnd;
    const Binding binding = m_binding;
    std::optional<LRESULT> result = Reflect(message, wParam, lParam);
    if (!result && *alive) {
        result = OnMessage(message, wParam, lParam);
    }
    handled = result.has_value();
    if (!*alive) {
        // A handler deleted this object (and so destroyed its window): touch nothing of it.
        return result.value_or(0);
    }
    if (message == WM_NCDESTROY) {
        Unbind();
    }
    LRESULT value = 0;
    if (result) {
        value = *result;
    } else if (binding == Binding::OwnClass) {
        value = DefWindowProcA(window, message, wParam, lParam);
    } else if (binding == Binding::Subclass) {
        value = DefSubclassProc(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        AfterNcDestroy(window);
    }
    return value;
}

void Window::AfterNcDestroy(HWND window) {
    const std::shared_ptr<bool> alive = m_alive;
    UiThread::WindowDestroyed(window);
    if (*alive) {
        OnFinalMessage();
    }
}

LRESULT CALLBACK Window::OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self && message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        if (self) {
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->Bind(window, Binding::OwnClass);
        }
    }
    if (!self) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    bool handled = false;
    return self->Dispatch(message, wParam, lParam, handled);
}

LRESULT CALLBACK Window::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR refData) {
    auto* self = reinterpret_cast<Window*>(refData);
    if (!self || self->m_hwnd != window) {
        return DefSubclassProc(window, message, wParam, lParam);
    }
    bool handled = false;
    return self->Dispatch(message, wParam, lParam, handled);
}

bool Control::Create(const char* className, const std::string& text, DWORD style, const RECT& rect,
                     HWND parent, UINT id, DWORD exStyle) {
    if (IsWindow()) {
        return false;
    }
    const HWND window =
        CreateWindowExA(exStyle, className, text.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                        GetModuleHandleA(nullptr), nullptr);
    if (!window) {
        return false;
    }
    if (!Attach(window)) {
        DestroyWindow(window);
        return false;
    }
    return true;
}

bool Control::Attach(HWND control) {
    if (IsWindow() || !control || FromHandle(control)) {
        return false;
    }
    if (!SetWindowSubclass(control, &Window::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    Bind(control, Binding::Subclass);
    OnAttached();
    return true;
}

} // namespace winui
