#include "winui/dialog_template.h"

#include "base/wide_text.h"

namespace winui {

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                               const std::string& title, WORD pointSize, const std::string& fontFace) {
    if (!fontFace.empty()) {
        style |= DS_SETFONT;
    } else {
        style &= ~static_cast<DWORD>(DS_SETFONT);
    }
    AddWord(LOWORD(style));
    AddWord(HIWORD(style));
    AddWord(LOWORD(exStyle));
    AddWord(HIWORD(exStyle));
    AddWord(0); // no items
    AddWord(static_cast<WORD>(x));
    AddWord(static_cast<WORD>(y));
    AddWord(static_cast<WORD>(cx));
    AddWord(static_cast<WORD>(cy));
    AddWord(0); // no menu
    AddWord(0); // the standard dialog class
    AddString(title);
    if (style & DS_SETFONT) {
        AddWord(pointSize);
        AddString(fontFace);
    }
}

void DialogTemplate::AddString(const std::string& text) {
    for (const wchar_t c : base::Widen(text)) {
        AddWord(static_cast<WORD>(c));
    }
    AddWord(0);
}

} // namespace winui
