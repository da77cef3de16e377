#include "base/program_folder.h"

namespace base {

std::string ProgramFolder() {
    // MAX_PATH UTF-16 units, up to 3 bytes each under the UTF-8 code page.
    char path[MAX_PATH * 3] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return {}; // a cut name would name another folder
    }
    std::string folder(path, length);
    const size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

bool CreateFolderTree(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    std::string parent = folder;
    while (!parent.empty() && (parent.back() == '\\' || parent.back() == '/')) {
        parent.pop_back();
    }
    const size_t slash = parent.find_last_of("\\/");
    // "C:" or a share's root has no parent to create; the folder's own creation then says whether it works.
    if (slash != std::string::npos && slash > 2 && !CreateFolderTree(parent.substr(0, slash))) {
        return false;
    }
    return CreateDirectoryA(parent.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

HMODULE LoadSystemLibrary(const char* name) {
    if (const HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return module;
    }
    if (GetLastError() != ERROR_INVALID_PARAMETER) {
        return nullptr;
    }
    // Windows 7 without its search-path update does not know the flag: the full path does the same.
    char system[MAX_PATH * 3] = {};
    const UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system) {
        return nullptr;
    }
    return LoadLibraryA((std::string(system, length) + "\\" + name).c_str());
}

} // namespace base
