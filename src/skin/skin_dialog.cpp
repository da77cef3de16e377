#include "skin/skin_dialog.h"

#include "winui/gdi_scoped.h"

std::optional<LRESULT> CSkinDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        OnPaint();
        return 0;
    }
    return Dialog::OnMessage(message, wParam, lParam);
}

void CSkinDialog::OnPaint() {
    winui::PaintDc paint(Hwnd());
    PaintBackground(paint.Get(), ClientRect());
    InvalidateControls();
}
