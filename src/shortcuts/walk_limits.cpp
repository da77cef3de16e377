#include "shortcuts/walk_limits.h"

#include "base/unique_handle.h"

#include <windows.h>

#include <string.h>

namespace shortcuts {
namespace {

bool SameText(const std::string& a, const std::string& b) {
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

std::string TrimSlash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

std::string Expanded(const std::string& text) {
    char buffer[MAX_PATH * 2] = {};
    const DWORD n = ExpandEnvironmentStringsA(text.c_str(), buffer, sizeof buffer);
    return n > 0 && n <= sizeof buffer ? std::string(buffer) : std::string();
}

std::string Variable(const char* name) {
    char buffer[MAX_PATH * 2] = {};
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer) : std::string();
}

// The OneDrive, OneDriveConsumer, OneDriveCommercial... folders the sync client names for this user.
void AddCloudFolders(std::vector<std::string>& folders) {
    HKEY environment = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Environment", 0, KEY_QUERY_VALUE, &environment) != ERROR_SUCCESS) {
        return;
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLength = sizeof name;
        BYTE data[MAX_PATH * 2] = {};
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        const LONG rc = RegEnumValueA(environment, i, name, &nameLength, nullptr, &type, data, &dataLength);
        if (rc == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (rc != ERROR_SUCCESS || _strnicmp(name, "OneDrive", 8) != 0 ||
            (type != REG_SZ && type != REG_EXPAND_SZ)) {
            continue;
        }
        const std::string folder = TrimSlash(Expanded(reinterpret_cast<const char*>(data)));
        if (!folder.empty()) {
            folders.push_back(folder);
        }
    }
    RegCloseKey(environment);
}

// The folder that holds the users' profiles, as the system records it ("C:\Users").
std::string ProfilesDirectory() {
    HKEY list = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                      KEY_QUERY_VALUE, &list) != ERROR_SUCCESS) {
        return std::string();
    }
    BYTE data[MAX_PATH * 2] = {};
    DWORD length = sizeof data - 1;
    DWORD type = 0;
    const LONG rc = RegQueryValueExA(list, "ProfilesDirectory", nullptr, &type, data, &length);
    RegCloseKey(list);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::string();
    }
    return TrimSlash(Expanded(reinterpret_cast<const char*>(data)));
}

} // namespace

std::vector<std::string> OtherProfiles(const std::string& profilesDir, const std::vector<std::string>& own) {
    std::vector<std::string> others;
    if (profilesDir.empty()) {
        return others;
    }
    WIN32_FIND_DATAA entry{};
    const base::FindHandle find(FindFirstFileA((profilesDir + "\\*").c_str(), &entry));
    if (!find) {
        return others;
    }
    do {
        const std::string name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == "." || name == "..") {
            continue;
        }
        const std::string path = profilesDir + "\\" + name;
        if (!IsExcluded(path, own)) {
            others.push_back(path);
        }
    } while (FindNextFileA(find.Get(), &entry));
    return others;
}

std::vector<std::string> ExcludedFolders() {
    std::vector<std::string> folders;
    AddCloudFolders(folders);
    const std::string profile = TrimSlash(Variable("USERPROFILE"));
    std::vector<std::string> own = {profile};
    if (const std::string publicProfile = TrimSlash(Variable("PUBLIC")); !publicProfile.empty()) {
        own.push_back(publicProfile);
    }
    // Without a known profile of this user, every profile folder would count as another user's.
    if (!profile.empty()) {
        for (std::string& other : OtherProfiles(ProfilesDirectory(), own)) {
            folders.push_back(std::move(other));
        }
    }
    return folders;
}

bool IsShortcutBackupFolderName(const std::string& name) {
    constexpr char kSuffix[] = ".xml.shortcuts";
    constexpr size_t kLength = sizeof kSuffix - 1;
    return name.size() > kLength && _stricmp(name.c_str() + name.size() - kLength, kSuffix) == 0;
}

bool IsExcluded(const std::string& folder, const std::vector<std::string>& excluded) {
    for (const std::string& path : excluded) {
        if (SameText(folder, path)) {
            return true;
        }
    }
    return false;
}

namespace {

// Wine's own export: the Unix path of a DOS path, allocated on the process heap; absent on Windows.
using UnixFileNameFn = char*(__cdecl*)(const wchar_t*);

UnixFileNameFn WineUnixFileName() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel == nullptr ? nullptr
                             : reinterpret_cast<UnixFileNameFn>(reinterpret_cast<void*>(
                                   GetProcAddress(kernel, "wine_get_unix_file_name")));
}

std::string UnixPath(UnixFileNameFn toUnix, const wchar_t* dosPath) {
    char* unix = toUnix(dosPath);
    if (unix == nullptr) {
        return std::string();
    }
    std::string path(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

} // namespace

// Wine gives a drive linked inside the prefix as "<prefix>/dosdevices/x:/" and one linked to an absolute
// folder as that folder ("/" for Z:). The prefix is where C: is found.
bool DriveLeavesWinePrefix(char letter) {
    const UnixFileNameFn toUnix = WineUnixFileName();
    if (toUnix == nullptr) {
        return false;
    }
    std::string prefix = UnixPath(toUnix, L"C:\\");
    if (const size_t devices = prefix.find("/dosdevices/"); devices != std::string::npos) {
        prefix.erase(devices + 1);
    } else {
        while (!prefix.empty() && prefix.back() == '/') {
            prefix.pop_back();
        }
        prefix.erase(prefix.find_last_of('/') + 1); // the folder above drive_c
    }
    const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
    const std::string drive = UnixPath(toUnix, root);
    // A prefix that cannot be told, or a root as wide as the whole file system, is never taken for inside.
    return prefix.size() <= 1 || drive.empty() || drive.compare(0, prefix.size(), prefix) != 0;
}

} // namespace shortcuts
