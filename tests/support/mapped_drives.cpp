#include "support/mapped_drives.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace testsupport {
namespace {

const struct {
    const char* name;
    const char* value;
} kVariables[] = {
    {"SystemRoot", "C:\\Windows"},
    {"windir", "C:\\Windows"},
    {"SystemDrive", "C:"},
    {"ProgramFiles", "C:\\Program Files"},
    {"ProgramFiles(x86)", "C:\\Program Files (x86)"},
    {"ProgramW6432", "C:\\Program Files"},
    {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
    {"CommonProgramFiles(x86)", "C:\\Program Files (x86)\\Common Files"},
    {"CommonProgramW6432", "C:\\Program Files\\Common Files"},
    {"ProgramData", "C:\\ProgramData"},
    {"ALLUSERSPROFILE", "C:\\ProgramData"},
    {"PUBLIC", "C:\\Users\\Public"},
    {"USERPROFILE", "C:\\Users\\User"},
    {"APPDATA", "C:\\Users\\User\\AppData\\Roaming"},
    {"LOCALAPPDATA", "C:\\Users\\User\\AppData\\Local"},
    {"TEMP", "C:\\Users\\User\\AppData\\Local\\Temp"},
    {"TMP", "C:\\Users\\User\\AppData\\Local\\Temp"},
};

// Host paths are given the long-path prefix: a drive path close to MAX_PATH is longer on the host.
std::string LongForm(const std::string& path) {
    return "\\\\?\\" + path;
}

void RemoveBelow(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    const HANDLE find = FindFirstFileA(LongForm(folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = folder + "\\" + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            RemoveBelow(path);
            RemoveDirectoryA(LongForm(path).c_str());
        } else {
            DeleteFileA(LongForm(path).c_str());
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

} // namespace

MappedDrives::MappedDrives(std::string root, std::string letters)
    : m_root(std::move(root)), m_letters(std::move(letters)) {
    for (const char letter : m_letters) {
        CreateDirectoryA((m_root + "\\" + letter).c_str(), nullptr);
    }
}

std::string MappedDrives::Host(const std::string& path) const {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        return {};
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    if (m_letters.find(letter) == std::string::npos) {
        return {};
    }
    std::string rest = path.substr(2);
    // The host does not strip trailing spaces and dots of a name as Windows does for a drive path.
    while (rest.size() > 1 && (rest.back() == ' ' || rest.back() == '.')) {
        rest.pop_back();
    }
    for (char& c : rest) {
        if (c == '/') {
            c = '\\';
        }
    }
    return m_root + "\\" + letter + (rest == "\\" ? std::string() : rest);
}

bool MappedDrives::Create(const std::string& path) const {
    const std::string host = Host(path);
    if (host.empty()) {
        return false;
    }
    for (size_t slash = host.find('\\', m_root.size() + 1); slash != std::string::npos;
         slash = host.find('\\', slash + 1)) {
        CreateDirectoryA(LongForm(host.substr(0, slash)).c_str(), nullptr);
    }
    const HANDLE file = CreateFileA(LongForm(host).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

void MappedDrives::Clear() const {
    for (const char letter : m_letters) {
        RemoveBelow(m_root + "\\" + letter);
    }
}

std::string MappedDrives::ExpandTable(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
        bool replaced = false;
        if (close != std::string::npos) {
            const std::string name = text.substr(i + 1, close - i - 1);
            for (const auto& variable : kVariables) {
                if (_stricmp(name.c_str(), variable.name) == 0) {
                    out += variable.value;
                    i = close + 1;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) {
            out += text[i++];
        }
    }
    return out;
}

DWORD MappedDrives::Attributes(const std::string& path, DWORD* error) {
    const std::string host = Host(path);
    if (host.empty()) {
        *error = ERROR_PATH_NOT_FOUND;
        return INVALID_FILE_ATTRIBUTES;
    }
    const DWORD attributes = GetFileAttributesA(LongForm(host).c_str());
    *error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    return attributes;
}

UINT MappedDrives::DriveType(const std::string& root) {
    return Host(root).empty() ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED;
}

bool MappedDrives::Expand(const std::string& text, std::string* expanded) {
    *expanded = ExpandTable(text);
    return true;
}

bool MappedDrives::Search(const std::string& name, std::string* found, DWORD* error) {
    for (const char* folder : {"C:\\Windows\\System32\\", "C:\\Windows\\"}) {
        DWORD ignored = 0;
        if (Attributes(folder + name, &ignored) != INVALID_FILE_ATTRIBUTES) {
            *found = folder + name;
            return true;
        }
    }
    *error = ERROR_FILE_NOT_FOUND;
    return false;
}

} // namespace testsupport
