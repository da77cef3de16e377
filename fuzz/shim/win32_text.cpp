// Native stand-ins for the two code-page conversions, with the Win32 contract the callers rely on: a null
// output buffer asks for the size; the result is the number of units written (0 on failure).
#include "windows.h"

#include <string>

namespace {

std::u32string Decode(UINT codePage, const char* text, int size) {
    std::u32string out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; i < size;) {
        if (codePage != CP_UTF8 || p[i] < 0x80) {
            out += p[i++];
            continue;
        }
        int extra = p[i] >= 0xF0 ? 3 : p[i] >= 0xE0 ? 2 : p[i] >= 0xC0 ? 1 : -1;
        char32_t c = extra == 3 ? p[i] & 0x07 : extra == 2 ? p[i] & 0x0F : p[i] & 0x1F;
        bool ok = extra > 0 && i + extra < size + 1 && i + extra <= size - 0;
        for (int k = 1; ok && k <= extra; ++k) {
            ok = i + k < size && (p[i + k] & 0xC0) == 0x80;
            if (ok) {
                c = (c << 6) | (p[i + k] & 0x3F);
            }
        }
        if (!ok || p[i] > 0xF4) {
            out += 0xFFFD;
            ++i;
        } else {
            out += c;
            i += extra + 1;
        }
    }
    return out;
}

} // namespace

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int size, LPWSTR wide, int wideSize) {
    if (size < 0) {
        size = static_cast<int>(std::strlen(text)) + 1;
    }
    const std::u32string decoded = Decode(codePage, text, size);
    if (wide == nullptr) {
        return static_cast<int>(decoded.size());
    }
    if (static_cast<int>(decoded.size()) > wideSize) {
        return 0;
    }
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        wide[i] = static_cast<wchar_t>(decoded[i]);
    }
    return static_cast<int>(decoded.size());
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int size, LPSTR text, int textSize, LPCSTR,
                        LPBOOL) {
    std::string out;
    for (int i = 0; i < size; ++i) {
        const auto c = static_cast<char32_t>(wide[i]);
        if (codePage != CP_UTF8) {
            out += c < 0x100 ? static_cast<char>(c) : '?';
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    if (text == nullptr) {
        return static_cast<int>(out.size());
    }
    if (static_cast<int>(out.size()) > textSize) {
        return 0;
    }
    std::memcpy(text, out.data(), out.size());
    return static_cast<int>(out.size());
}
