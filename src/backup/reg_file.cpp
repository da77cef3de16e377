#include "backup/reg_file.h"

#include "base/unique_handle.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr wchar_t kHeader[] = L"Windows Registry Editor Version 5.00\r\n\r\n";
// Registry editors break a hex list once its line has reached this many columns, before the "\".
constexpr std::size_t kHexLineColumns = 77;
constexpr wchar_t kHexContinuation[] = L"\\\r\n  ";

constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                      "HKEY_USERS", "HKEY_CURRENT_CONFIG"};

// The root-key name as registry editors spell it; the backup may have it in any case.
std::string CanonicalRoot(const std::string& root) {
    for (const char* name : kRootNames) {
        if (lstrcmpiA(root.c_str(), name) == 0) {
            return name;
        }
    }
    return root;
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

std::wstring HexNumber(unsigned long long value, int width) {
    static constexpr wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), digits[value & 0x0f]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(text.size()) < width) {
        text.insert(0, static_cast<std::size_t>(width) - text.size(), L'0');
    }
    return text;
}

std::wstring HexPrefix(DWORD type) {
    return type == REG_BINARY ? std::wstring(L"hex:") : L"hex(" + HexNumber(type, 1) + L"):";
}

// "aa,bb,..." after a line that already has `column` characters.
std::wstring HexList(const BYTE* bytes, std::size_t size, std::size_t column) {
    std::wstring list;
    list.reserve(size * 3 + size / 25 * 5);
    for (std::size_t i = 0; i < size; ++i) {
        list += HexNumber(bytes[i], 2);
        if (i + 1 == size) {
            break;
        }
        list += L',';
        column += 3;
        if (column >= kHexLineColumns) {
            list += kHexContinuation;
            column = 2;
        }
    }
    return list;
}

// A REG_SZ that the quoted form gives back exactly: one terminating NUL and nothing a line cannot hold.
bool IsPlainText(const std::wstring& data) {
    if (data.empty() || data.back() != L'\0') {
        return false;
    }
    return std::none_of(data.begin(), data.end() - 1,
                        [](wchar_t c) { return c == L'\0' || c == L'\r' || c == L'\n'; });
}

bool WriteAll(HANDLE file, const char* bytes, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, chunk, &written, nullptr) || written != chunk) {
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

std::wstring WideOfAnsi(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (units <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), units);
    return wide;
}

std::wstring QuotedRegString(const std::wstring& text) {
    std::wstring quoted = L"\"";
    quoted.reserve(text.size() + 2);
    for (const wchar_t c : text) {
        switch (c) {
        case L'\\':
            quoted += L"\\\\";
            break;
        case L'"':
            quoted += L"\\\"";
            break;
        case L'\r':
            quoted += L"\\r";
            break;
        case L'\n':
            quoted += L"\\n";
            break;
        default:
            quoted += c;
            break;
        }
    }
    quoted += L'"';
    return quoted;
}

std::wstring RegValueLines(const RestoredValue& value) {
    std::wstring line =
        value.unnamed || value.name.empty() ? L"@=" : QuotedRegString(WideOfAnsi(value.name)) + L"=";
    const bool stringType = value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    if (stringType) {
        // The restore hands these to the ANSI call, which stores them as UTF-16.
        const std::wstring wide = WideOfAnsi(std::string(value.data.begin(), value.data.end()));
        if (value.type == REG_SZ && IsPlainText(wide)) {
            return line + QuotedRegString(wide.substr(0, wide.size() - 1));
        }
        line += HexPrefix(value.type);
        return line + HexList(reinterpret_cast<const BYTE*>(wide.data()), wide.size() * sizeof(wchar_t),
                              line.size());
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number = 0;
        std::copy(value.data.begin(), value.data.end(), reinterpret_cast<BYTE*>(&number));
        return line + L"dword:" + HexNumber(number, 8);
    }
    line += HexPrefix(value.type);
    return line + HexList(value.data.data(), value.data.size(), line.size());
}

RegFileText BuildRegFile(const BackupContents& contents) {
    RegFileText file;
    file.text = kHeader;
    for (std::size_t index = 0; index < contents.keys.size(); ++index) {
        const BackupKey& key = contents.keys[index];
        if (key.values.empty() && key.hasSubkeys) {
            continue; // its subkeys' blocks create it
        }
        const std::vector<std::string> names = contents.PathOf(index);
        if (std::any_of(names.begin(), names.end(), HasLineBreak)) {
            file.leftOut.push_back(contents.JoinedPathOf(index));
            continue;
        }
        std::string path = CanonicalRoot(names.front());
        for (std::size_t i = 1; i < names.size(); ++i) {
            path += '\\';
            path += names[i];
        }
        file.text += L"[" + WideOfAnsi(path) + L"]\r\n";
        for (const RestoredValue& value : key.values) {
            file.text += RegValueLines(value) + L"\r\n";
        }
        file.text += L"\r\n";
        ++file.keyCount;
        file.valueCount += key.values.size();
    }
    return file;
}

bool WriteRegFile(const std::string& path, const std::wstring& text) {
    static const char kByteOrderMark[] = "\xFF\xFE";
    bool ok = false;
    {
        const base::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return false;
        }
        ok =
            WriteAll(file.Get(), kByteOrderMark, 2) &&
            WriteAll(file.Get(), reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)) &&
            FlushFileBuffers(file.Get());
    }
    if (!ok) {
        DeleteFileA(path.c_str()); // no half file that looks like a whole one
    }
    return ok;
}
