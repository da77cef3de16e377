#include "winui/dialog_template.h"

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
    if (!text.empty()) {
        const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
        if (n > 0) {
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
        }
        for (wchar_t c : wide) {
            AddWord(static_cast<WORD>(c));
        }
    }
    AddWord(0);
}

} // namespace winui
