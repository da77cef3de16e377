#pragma once
// A dialog template built in memory (DLGTEMPLATE with title and font, no items), for dialogs whose
// controls are all created in code: the skinned screens and the tests need no resource script.
#include <windows.h>

#include <string>
#include <vector>

namespace winui {

class DialogTemplate {
public:
    // Position and size in dialog units. With a non-empty font face the template gets DS_SETFONT.
    DialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, const std::string& title,
                   WORD pointSize = 8, const std::string& fontFace = "MS Sans Serif");

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }
    size_t SizeInBytes() const { return m_words.size() * sizeof(WORD); }

private:
    void AddWord(WORD w) { m_words.push_back(w); }
    void AddString(const std::string& text);

    std::vector<WORD> m_words; // WORD storage keeps the DWORD-aligned start and WORD-aligned strings
};

} // namespace winui
