#include "skin/skin_text.h"

#include "skin/skin_image.h"
#include "winui/gdi_scoped.h"

namespace {

HFONT CopyFont(HFONT font) {
    LOGFONTA description{};
    if (!font || GetObjectA(font, sizeof description, &description) != sizeof description) {
        return nullptr;
    }
    return CreateFontIndirectA(&description);
}

} // namespace

CSkinText::CSkinText() : m_font(CopyFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)))) {}

bool CSkinText::Create(const std::string& caption, const RECT& rect, HWND parent) {
    return Control::Create("STATIC", caption, WS_CHILD | WS_VISIBLE, rect, parent, 0);
}

void CSkinText::SetText(const std::string& text) {
    const std::lock_guard lock(m_textLock);
    m_strText = text;
}

std::string CSkinText::GetText() const {
    const std::lock_guard lock(m_textLock);
    return m_strText;
}

void CSkinText::SetFont(HFONT font) {
    if (HFONT copy = CopyFont(font)) {
        m_font.Reset(copy);
    }
}

void CSkinText::SetBackground(const RECT& rect, HBITMAP screenImage) {
    winui::WindowDc dc(Hwnd());
    CropBitmap(dc.Get(), m_bmpBackground, screenImage, rect.left, rect.top, rect.right, rect.bottom);
}

std::optional<LRESULT> CSkinText::OnMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_PAINT) {
        Paint();
        return 0;
    }
    return std::nullopt;
}

void CSkinText::Paint() {
    winui::PaintDc paint(Hwnd());
    RECT client = ClientRect();
    if (m_bmpBackground) {
        base::MemoryDc memory(CreateCompatibleDC(nullptr));
        if (memory) {
            winui::SelectGuard select(memory.Get(), m_bmpBackground.Get());
            BitBlt(paint.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
        }
    }
    SetBkMode(paint.Get(), TRANSPARENT);
    winui::SelectGuard selectFont(paint.Get(), m_font.Get());
    SetTextColor(paint.Get(), m_crColour);
    const std::string text = GetText();
    // DT_VCENTER without DT_SINGLELINE: top left, lines only at line breaks, clipped at the client area.
    DrawTextA(paint.Get(), text.c_str(), static_cast<int>(text.size()), &client, DT_VCENTER);
}
