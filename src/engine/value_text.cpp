#include "engine/value_text.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

namespace {

// Byte i of the data, or 0 past its end: a number stored with too few bytes reads as if zero-filled.
BYTE ByteAt(const BYTE* data, DWORD size, DWORD i) {
    return data != nullptr && i < size ? data[i] : 0;
}

std::string HexBytes(const BYTE* data, DWORD size) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    if (data == nullptr || size == 0) {
        return text;
    }
    text.reserve(size_t{size} * 3);
    for (DWORD i = 0; i < size; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += digits[data[i] >> 4];
        text += digits[data[i] & 0x0f];
    }
    return text;
}

// "0x" and the bytes at the given positions, most significant first, then " (n)" unless no decimal is wanted.
std::string NumberText(const BYTE* data, DWORD size, const DWORD* order, int count, bool withDecimal) {
    std::string text = "0x";
    char pair[3];
    unsigned long long value = 0;
    for (int i = 0; i < count; ++i) {
        const BYTE b = ByteAt(data, size, order[i]);
        std::snprintf(pair, sizeof pair, "%02x", b);
        text += pair;
        value = (value << 8) | b;
    }
    if (withDecimal) {
        char decimal[24];
        std::snprintf(decimal, sizeof decimal, " (%d)",
                      static_cast<int>(static_cast<LONG>(value & 0xffffffffu)));
        text += decimal;
    }
    return text;
}

// The data up to its first NUL, never past its size.
std::string TerminatedText(const BYTE* data, DWORD size) {
    if (data == nullptr) {
        return std::string();
    }
    const char* chars = reinterpret_cast<const char*>(data);
    return std::string(chars, strnlen(chars, size));
}

std::string MultiStringText(const BYTE* data, DWORD size) {
    if (data == nullptr) {
        return std::string();
    }
    // Drop the string's and the list's terminators; a list written without them keeps its last string.
    DWORD end = size;
    for (int dropped = 0; dropped < 2 && end > 0 && data[end - 1] == 0; ++dropped) {
        --end;
    }
    std::string text;
    text.reserve(end);
    for (DWORD i = 0; i < end; ++i) {
        if (data[i] == 0) {
            text += "\r\n";
        } else {
            text += static_cast<char>(data[i]);
        }
    }
    return text;
}

std::string WideToCodePage(const wchar_t* wide, int count, UINT codePage) {
    if (count <= 0) {
        return std::string();
    }
    const int bytes = WideCharToMultiByte(codePage, 0, wide, count, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return std::string();
    }
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, wide, count, text.data(), bytes, nullptr, nullptr);
    return text;
}

std::wstring CodePageToWide(const std::string& text, UINT codePage) {
    if (text.empty()) {
        return std::wstring();
    }
    const int count =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (count <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), count);
    return wide;
}

std::string LinkText(const BYTE* data, DWORD size) {
    if (data == nullptr) {
        return std::string();
    }
    // UTF-16 units up to the first NUL unit; an odd trailing byte is not part of any unit.
    const DWORD units = size / 2;
    std::wstring wide;
    wide.reserve(units);
    for (DWORD i = 0; i < units; ++i) {
        const wchar_t unit = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
        if (unit == L'\0') {
            break;
        }
        wide += unit;
    }
    return WideToCodePage(wide.data(), static_cast<int>(wide.size()), CP_ACP);
}

// The digits of a number text after its two-character prefix, as exactly `digits` characters: a text in the
// produced form gives its own characters; a shorter one is zero-padded on the left, so "0x10" reads as 16.
std::string NumberDigits(const std::string& text, size_t digits) {
    const std::string_view rest = text.size() > 2 ? std::string_view(text).substr(2) : std::string_view();
    if (rest.size() >= digits) {
        return std::string(rest.substr(0, digits));
    }
    return std::string(digits - rest.size(), '0') + std::string(rest);
}

std::unique_ptr<BYTE[]> Allocate(size_t size) {
    return std::unique_ptr<BYTE[]>(new (std::nothrow) BYTE[size == 0 ? 1 : size]());
}

// Every occurrence of `from` replaced by `to`, scanning left to right past each replacement.
std::string ReplaceAll(const std::string& text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    for (size_t hit = text.find(from); hit != std::string::npos; hit = text.find(from, pos)) {
        out.append(text, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(text, pos, std::string::npos);
    return out;
}

} // namespace

std::string ConvertToString(DWORD type, const BYTE* data, DWORD size) {
    static constexpr DWORD littleEndian32[] = {3, 2, 1, 0};
    static constexpr DWORD bigEndian32[] = {0, 1, 2, 3};
    static constexpr DWORD littleEndian64[] = {7, 6, 5, 4, 3, 2, 1, 0};
    switch (type) {
    case REG_BINARY:
    case REG_RESOURCE_LIST:
    case REG_RESOURCE_REQUIREMENTS_LIST:
        return HexBytes(data, size);
    case REG_DWORD:
        return NumberText(data, size, littleEndian32, 4, true);
    case REG_DWORD_BIG_ENDIAN:
        return NumberText(data, size, bigEndian32, 4, true);
    case REG_QWORD:
        return NumberText(data, size, littleEndian64, 8, false);
    case REG_LINK:
        return LinkText(data, size);
    case REG_MULTI_SZ:
        return MultiStringText(data, size);
    default:
        return TerminatedText(data, size);
    }
}

void ConvertFromString(const std::string& text, DWORD type, std::unique_ptr<BYTE[]>* data, DWORD* size) {
    if (data == nullptr || size == nullptr) {
        return;
    }
    data->reset();
    *size = 0;

    std::unique_ptr<BYTE[]> bytes;
    size_t count = 0;
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        count = text.size() + 1;
        if ((bytes = Allocate(count))) {
            std::memcpy(bytes.get(), text.data(), text.size());
        }
        break;
    case REG_BINARY:
    case REG_RESOURCE_LIST:
    case REG_RESOURCE_REQUIREMENTS_LIST:
        // One byte per "xx " group; the separators are not examined. A lone character makes no byte.
        count = text.empty() ? 1 : (text.size() + 1) / 3;
        if ((bytes = Allocate(count)) && !text.empty()) {
            for (size_t i = 0; i < count; ++i) {
                bytes[i] = HexPairToByte(text[3 * i], text[3 * i + 1]);
            }
        }
        break;
    case REG_DWORD:
    case REG_QWORD: {
        count = type == REG_DWORD ? 4 : 8;
        if ((bytes = Allocate(count)) && !text.empty()) {
            const std::string digits = NumberDigits(text, count * 2);
            for (size_t i = 0; i < count; ++i) {
                bytes[count - 1 - i] = HexPairToByte(digits[2 * i], digits[2 * i + 1]);
            }
        }
        break;
    }
    case REG_MULTI_SZ:
        if (text.empty()) {
            count = 1;
            bytes = Allocate(count);
            break;
        }
        if ((bytes = Allocate(text.size() + 2))) {
            for (const char c : text) {
                if (c != '\r') {
                    bytes[count++] = c == '\n' ? 0 : static_cast<BYTE>(c);
                }
            }
            count += 2; // the buffer is zero-filled: the last string's and the list's terminators
        }
        break;
    default:
        return;
    }
    if (bytes) {
        *data = std::move(bytes);
        *size = static_cast<DWORD>(count);
    }
}

BYTE HexPairToByte(char high, char low) {
    const auto value = [](char c) -> unsigned {
        if (c >= '0' && c <= '9') {
            return static_cast<unsigned>(c - '0');
        }
        if (c >= 'a' && c <= 'f') {
            return static_cast<unsigned>(c - 'a' + 10);
        }
        if (c >= 'A' && c <= 'F') {
            return static_cast<unsigned>(c - 'A' + 10);
        }
        return static_cast<unsigned char>(c);
    };
    return static_cast<BYTE>((value(high) * 16 + value(low)) & 0xff);
}

std::string UTF8Conversion(const std::string& text) {
    if (text.empty()) {
        return text;
    }
    const std::wstring wide = CodePageToWide(text, CP_ACP);
    if (wide.empty()) {
        return text;
    }
    return WideToCodePage(wide.data(), static_cast<int>(wide.size()), CP_UTF8);
}

std::string FromUTF8Conversion(const std::string& text) {
    if (text.empty()) {
        return text;
    }
    const std::wstring wide = CodePageToWide(text, CP_UTF8);
    if (wide.empty()) {
        return text;
    }
    return WideToCodePage(wide.data(), static_cast<int>(wide.size()), CP_ACP);
}

std::string GetEscapedXmlString(const std::string& text) {
    if (text.empty()) {
        return text;
    }
    std::string escaped;
    escaped.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        default:
            escaped += c;
        }
    }
    return UTF8Conversion(escaped);
}

std::string GetUnescapedXmlString(const std::string& text) {
    if (text.empty()) {
        return text;
    }
    std::string plain = FromUTF8Conversion(text);
    plain = ReplaceAll(plain, "&lt;", "<");
    plain = ReplaceAll(plain, "&quot;", "\"");
    return ReplaceAll(plain, "&amp;", "&");
}
