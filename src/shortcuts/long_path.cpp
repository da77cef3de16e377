#include "shortcuts/long_path.h"

#include "base/wide_text.h"

#include <windows.h>

namespace shortcuts {
namespace {

constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t kExtendedUncPrefix[] = L"\\\\?\\UNC\\";
constexpr wchar_t kDevicePrefix[] = L"\\\\.\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.starts_with(prefix);
}

// Length of the part of an extended path that names the volume ("\\?\C:\" or "\\?\UNC\server\share\").
size_t RootLength(const std::wstring& path) {
    if (!StartsWith(path, kExtendedUncPrefix)) {
        return std::char_traits<wchar_t>::length(kExtendedPrefix) + 3;
    }
    const size_t server = std::char_traits<wchar_t>::length(kExtendedUncPrefix);
    const size_t share = path.find(L'\\', server);
    if (share == std::wstring::npos) {
        return path.size();
    }
    const size_t end = path.find(L'\\', share + 1);
    return end == std::wstring::npos ? path.size() : end + 1;
}

// "X:\..." with no "." or ".." component and no forward slash.
bool IsPlainDrivePath(const std::wstring& path) {
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\' || path.find(L'/') != std::wstring::npos) {
        return false;
    }
    const wchar_t letter = path[0];
    if (!((letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z'))) {
        return false;
    }
    const std::wstring text = path + L"\\";
    return text.find(L"\\.\\") == std::wstring::npos && text.find(L"\\..\\") == std::wstring::npos &&
           text.find(L"\\\\", 2) == std::wstring::npos;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

std::wstring ExtendedPath(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    const std::wstring wide = base::Widen(path.c_str()); // up to the first NUL, as the file system reads it
    if (wide.empty()) {
        return {};
    }
    if (StartsWith(wide, kExtendedPrefix)) {
        return wide;
    }
    // A full drive path as the walk builds it is used as it is: GetFullPathNameW would drop trailing dots
    // and spaces from its names and so name another file.
    if (IsPlainDrivePath(wide)) {
        return kExtendedPrefix + wide;
    }
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return {};
    }
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) {
        return {};
    }
    full.resize(written);
    if (StartsWith(full, kDevicePrefix)) {
        return {};
    }
    if (full.starts_with(L"\\\\")) {
        return kExtendedUncPrefix + full.substr(2);
    }
    return kExtendedPrefix + full;
}

std::string NarrowPath(const std::wstring& path) {
    std::wstring plain = path;
    if (StartsWith(plain, kExtendedUncPrefix)) {
        plain = L"\\\\" + plain.substr(std::char_traits<wchar_t>::length(kExtendedUncPrefix));
    } else if (StartsWith(plain, kExtendedPrefix)) {
        plain = plain.substr(std::char_traits<wchar_t>::length(kExtendedPrefix));
    }
    return base::Narrow(plain.c_str());
}

bool CreateFolderTree(const std::wstring& folder) {
    const size_t root = RootLength(folder);
    if (folder.size() < root) {
        return IsFolder(folder + L"\\"); // a drive root, given without its backslash
    }
    for (size_t slash = folder.find(L'\\', root); slash != std::wstring::npos;
         slash = folder.find(L'\\', slash + 1)) {
        CreateDirectoryW(folder.substr(0, slash).c_str(), nullptr);
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    return IsFolder(folder);
}

std::wstring ParentFolder(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

MoveResult MoveFileNoReplace(const std::wstring& from, const std::wstring& to) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        return MoveResult::Moved;
    }
    if (GetLastError() != ERROR_NOT_SAME_DEVICE) {
        return MoveResult::Failed;
    }
    // The copy is made under a name no restore takes back and renamed once it is whole, so a disk that
    // fills up (or a power cut) never leaves a short file under the shortcut's own name.
    const std::wstring partial = to + kPartialCopySuffix;
    DeleteFileW(partial.c_str());
    if (!CopyFileW(from.c_str(), partial.c_str(), FALSE) ||
        !MoveFileExW(partial.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(partial.c_str());
        return MoveResult::Failed;
    }
    return DeleteFileW(from.c_str()) ? MoveResult::Moved : MoveResult::Copied;
}

} // namespace shortcuts
