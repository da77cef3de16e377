#pragma once
// Text between a code page (the active ANSI one unless named) and UTF-16. Embedded NULs are kept; characters
// the target code page lacks become its default character.
#include <windows.h>

#include <string>

namespace base {

std::wstring Widen(const std::string& text, UINT codePage = CP_ACP);
std::string Narrow(const std::wstring& text, UINT codePage = CP_ACP);

} // namespace base
