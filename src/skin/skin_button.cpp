#include "skin/skin_button.h"

#include <windowsx.h>

#include "skin/skin_image.h"
#include "skin/skin_screen.h"
#include "winui/gdi_scoped.h"

namespace {

// How far inside the button's edge its focus mark is drawn.
constexpr int kFocusInset = 2;

} // namespace

bool CSkinButton::Create(const RECT& rect, HWND parent) {
    return Control::Create("BUTTON", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent, 0);
}

void CSkinButton::OnAttached() {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(Hwnd(), GWL_STYLE));
    Send(BM_SETSTYLE, (style & 0xFF) | BS_OWNERDRAW, TRUE);
}

void CSkinButton::SetImages(const RECT& rect, HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled) {
    winui::WindowDc dc(Hwnd());
    CropBitmap(dc.Get(), m_bmpNormal, normal, rect.left, rect.top, rect.right, rect.bottom);
    CropBitmap(dc.Get(), m_bmpOver, over, rect.left, rect.top, rect.right, rect.bottom);
    CropBitmap(dc.Get(), m_bmpDown, down, rect.left, rect.top, rect.right, rect.bottom);
    CropBitmap(dc.Get(), m_bmpDisabled, disabled, rect.left, rect.top, rect.right, rect.bottom);
    ModifyStyle(WS_BORDER, 0);
}

HBITMAP CSkinButton::ImageFor(UINT itemState) const {
    HBITMAP chosen = m_bmpNormal.Get();
    if (m_bFixed) {
        chosen = m_bmpNormal.Get();
    } else if (itemState & ODS_SELECTED) {
        chosen = m_bmpDown.Get();
    } else if (m_nHover) {
        chosen = m_bmpOver.Get();
    } else if (itemState & ODS_DISABLED) {
        chosen = m_bmpDisabled.Get();
    }
    return chosen ? chosen : m_bmpNormal.Get();
}

void CSkinButton::DrawItem(const DRAWITEMSTRUCT& item) const {
    const RECT client = ClientRect();
    DrawBitmap(item.hDC, ImageFor(item.itemState), 0, 0, client.right, client.bottom);
    // The pictures have no focused state, so keyboard focus gets the skin's mark or else the system's dotted
    // one, hidden like the standard buttons' until the keyboard is used.
    if (!(item.itemState & ODS_FOCUS) || (item.itemState & ODS_NOFOCUSRECT)) {
        return;
    }
    RECT mark = client;
    InflateRect(&mark, -kFocusInset, -kFocusInset);
    if (!m_focusMark) {
        DrawFocusRect(item.hDC, &mark);
        return;
    }
    const base::Brush brush(CreateSolidBrush(m_focusMark->colour));
    for (int ring = 0; ring < m_focusMark->width && mark.right > mark.left && mark.bottom > mark.top;
         ++ring) {
        FrameRect(item.hDC, &mark, brush.Get());
        InflateRect(&mark, -1, -1);
    }
}

std::optional<LRESULT> CSkinButton::OnReflected(UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_DRAWITEM && lParam) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return std::nullopt;
}

std::optional<LRESULT> CSkinButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_KILLFOCUS: {
        const LRESULT result = CallDefault(message, wParam, lParam);
        m_nHover = 0;
        Invalidate(true);
        return result;
    }
    case WM_CAPTURECHANGED:
        // Only a real loss counts: the standard button's own press takes the capture again while the button
        // holds it, and some systems report that too. The capture is already gone (or another window's)
        // when this arrives, so there is nothing left to release here.
        if (reinterpret_cast<HWND>(lParam) != Hwnd() && m_nHover) {
            Invalidate(true);
        }
        return std::nullopt;
    case WM_LBUTTONUP:
        OnLButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE) {
            OnSpaceUp();
            return 0;
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

void CSkinButton::OnSpaceUp() {
    // The standard button pressed itself on the key going down; only a press that is still held counts
    // (Esc or a lost capture in between cancels it, as for the mouse).
    const bool pressed = (Send(BM_GETSTATE) & BST_PUSHED) != 0;
    if (GetCapture() == Hwnd()) {
        ReleaseCapture();
    }
    Send(BM_SETSTATE, FALSE);
    if (pressed) {
        // Last: the owner may free this button while it handles the click.
        m_owner.OnButtonIndex(m_nIndex);
    }
}

void CSkinButton::OnMouseMove(WPARAM keys, POINT point) {
    if ((keys & MK_LBUTTON) && !m_nHover) {
        return; // a press dragged onto the button does not light it
    }
    const HWND self = Hwnd();
    const HWND ownerWindow = GetWindow(self, GW_OWNER) ? GetWindow(self, GW_OWNER) : GetParent(self);
    if (GetCapture() != self) {
        if (GetActiveWindow() && ownerWindow) {
            m_nHover = 1;
            SetCapture(self);
            Invalidate(true);
        }
        return;
    }
    ClientToScreen(self, &point);
    const HWND under = WindowFromPoint(point);
    if (!under || under == self) {
        return;
    }
    if (m_nHover) {
        m_nHover = 0;
        Invalidate(true);
    }
    if (!(keys & MK_LBUTTON)) {
        ReleaseCapture();
    }
}

void CSkinButton::OnLButtonUp(POINT point) {
    const RECT client = ClientRect();
    if (!PtInRect(&client, point)) {
        return;
    }
    m_nHover = 0;
    Invalidate(true);
    // End the press before the owner acts: the standard button leaves its pressed look when it loses the
    // capture, and whatever the click opens (a dialog, a message box) gets the mouse.
    if (GetCapture() == Hwnd()) {
        ReleaseCapture();
    }
    // Last: the owner may free this button while it handles the click.
    m_owner.OnButtonIndex(m_nIndex);
}
