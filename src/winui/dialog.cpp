#include "winui/dialog.h"

#include "winui/message_loop.h"

namespace winui {
namespace {

// The dialog being created on this thread, until its procedure sees the first message.
thread_local Dialog* dialogBeingCreated = nullptr;

bool ReturnsValueDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

HINSTANCE OrExecutable(HINSTANCE module) {
    return module ? module : GetModuleHandleA(nullptr);
}

} // namespace

Dialog::Dialog(UINT templateId, HINSTANCE module) : m_template(ResourceTemplate{templateId, module}) {}

Dialog::Dialog(DialogTemplate templ) : m_template(std::move(templ)) {}

void Dialog::SetTemplate(UINT templateId, HINSTANCE module) {
    m_template = ResourceTemplate{templateId, module};
}

void Dialog::SetTemplate(DialogTemplate templ) {
    m_template = std::move(templ);
}

INT_PTR Dialog::RunModal(HWND owner) {
    if (IsWindow()) {
        return -1;
    }
    m_modal = true;
    dialogBeingCreated = this;
    const auto param = reinterpret_cast<LPARAM>(this);
    INT_PTR result = -1;
    if (const auto* res = std::get_if<ResourceTemplate>(&m_template)) {
        result = DialogBoxParamA(OrExecutable(res->module), MAKEINTRESOURCEA(res->id), owner,
                                 &Dialog::DialogProc, param);
    } else {
        result =
            DialogBoxIndirectParamA(GetModuleHandleA(nullptr), std::get<DialogTemplate>(m_template).Get(),
                                    owner, &Dialog::DialogProc, param);
    }
    dialogBeingCreated = nullptr;
    return result;
}

bool Dialog::CreateModeless(HWND owner) {
    if (IsWindow()) {
        return false;
    }
    m_modal = false;
    dialogBeingCreated = this;
    const auto param = reinterpret_cast<LPARAM>(this);
    HWND window = nullptr;
    if (const auto* res = std::get_if<ResourceTemplate>(&m_template)) {
        window = CreateDialogParamA(OrExecutable(res->module), MAKEINTRESOURCEA(res->id), owner,
                                    &Dialog::DialogProc, param);
    } else {
        window =
            CreateDialogIndirectParamA(GetModuleHandleA(nullptr), std::get<DialogTemplate>(m_template).Get(),
                                       owner, &Dialog::DialogProc, param);
    }
    dialogBeingCreated = nullptr;
    if (window && Hwnd() != window) {
        DestroyWindow(window);
        return false;
    }
    if (window) {
        AddModelessDialog(window);
    }
    return window != nullptr;
}

void Dialog::End(INT_PTR result) {
    if (!IsWindow()) {
        return;
    }
    if (m_modal) {
        EndDialog(Hwnd(), result);
    } else {
        Destroy();
    }
}

std::optional<LRESULT> Dialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == 0) {
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return 0;
            }
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) {
        self = dialogBeingCreated;
        if (!self && message == WM_INITDIALOG) {
            self = reinterpret_cast<Dialog*>(lParam);
        }
        // Only a dialog still being made binds; a stray late message of a dying window never does.
        if (!self || self->IsWindow() || message == WM_DESTROY || message == WM_NCDESTROY) {
            return FALSE;
        }
        dialogBeingCreated = nullptr;
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->Bind(window, Binding::Dialog);
    }
    if (message == WM_NCDESTROY) {
        RemoveModelessDialog(window);
    }
    bool handled = false;
    const LRESULT result = self->Dispatch(message, wParam, lParam, handled);
    if (!handled) {
        return FALSE;
    }
    if (ReturnsValueDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    if (::IsWindow(window)) {
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    }
    return TRUE;
}

} // namespace winui
