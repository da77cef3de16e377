// shortcut-baseline: the yardstick of the shortcut benchmark, and the maker of its tree.
//   shortcut-baseline walk [LETTERS]     walks the folders below the root of every fixed drive (or of the
//                                        fixed ones among LETTERS) with FindFirstFileA, loads every .lnk with
//                                        IShellLinkA and tests its target; nothing else (no lists kept, no
//                                        callbacks, no stop checks, no drive checks of the targets). One line
//                                        per broken shortcut on stdout, the totals on stderr.
//   shortcut-baseline make-tree ROOT FOLDERS LINKS
//                                        makes FOLDERS folders below ROOT (ten per folder, breadth first)
//                                        and LINKS shortcuts spread evenly over them, made by the shell's
//                                        link object; every fifth one points at a file that does not exist.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Counts {
    long scanned = 0;
    long found = 0;
};

bool IsLink(const char* name) {
    const size_t n = std::strlen(name);
    return n > 4 && _stricmp(name + n - 4, ".lnk") == 0;
}

void CheckLink(const std::string& path, Counts& counts) {
    ++counts.scanned;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH];
        char target[MAX_PATH] = {};
        WIN32_FIND_DATAA data;
        if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) != 0 &&
            SUCCEEDED(file->Load(wide, STGM_READ)) &&
            link->GetPath(target, MAX_PATH, &data, SLGP_SHORTPATH) == S_OK) {
            target[MAX_PATH - 1] = '\0';
            if (target[0] != '\0' && GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) {
                ++counts.found;
                std::printf("%s\n", path.c_str());
            }
        }
        file->Release();
    }
    link->Release();
}

// Plain recursion: the benchmark's trees are shallow.
void Walk(const std::string& folder, bool examineLinks, Counts& counts) {
    if (folder.size() + 4 >= MAX_PATH) {
        return;
    }
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    std::vector<std::string> subfolders;
    do {
        const bool dir = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (dir) {
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
                std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0) {
                subfolders.emplace_back(entry.cFileName);
            }
        } else if (examineLinks && IsLink(entry.cFileName)) {
            const std::string path = folder + "\\" + entry.cFileName;
            if (path.size() < MAX_PATH) {
                CheckLink(path, counts);
            }
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    for (const std::string& name : subfolders) {
        Walk(folder + "\\" + name, true, counts);
    }
}

int RunWalk(const char* letters) {
    char drives[MAX_PATH + 1] = {};
    GetLogicalDriveStringsA(MAX_PATH, drives);
    Counts counts;
    for (const char* root = drives; *root != '\0'; root += std::strlen(root) + 1) {
        if (letters != nullptr &&
            std::strchr(letters, std::toupper(static_cast<unsigned char>(root[0]))) == nullptr &&
            std::strchr(letters, std::tolower(static_cast<unsigned char>(root[0]))) == nullptr) {
            continue;
        }
        if (GetDriveTypeA(root) == DRIVE_FIXED) {
            Walk(std::string{root[0], root[1]}, false, counts);
        }
    }
    std::fprintf(stderr, "scanned=%ld findings=%ld\n", counts.scanned, counts.found);
    return 0;
}

bool SaveLink(const std::string& path, const std::string& target) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        saved = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

int MakeTree(const std::string& root, long folders, long links) {
    CreateDirectoryA(root.c_str(), nullptr);
    const std::string targets = root + "\\targets";
    CreateDirectoryA(targets.c_str(), nullptr);
    // Breadth first, ten subfolders each: folder i's parent is folder (i - 1) / 10.
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(folders));
    for (long i = 0; i < folders; ++i) {
        const std::string parent = i < 10 ? root : paths[static_cast<size_t>(i / 10 - 1)];
        paths.push_back(parent + "\\f" + std::to_string(i % 10));
        if (!CreateDirectoryA(paths.back().c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            std::fprintf(stderr, "cannot create %s\n", paths.back().c_str());
            return 1;
        }
    }
    const long step = links > 0 ? std::max(1L, folders / links) : 1;
    long made = 0;
    for (long i = 0; i < links; ++i) {
        const std::string& folder = paths[static_cast<size_t>((i * step) % folders)];
        const std::string target = targets + "\\t" + std::to_string(i) + ".exe";
        const bool broken = i % 5 == 4;
        if (!broken) {
            const HANDLE file =
                CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(file);
        }
        made += SaveLink(folder + "\\link" + std::to_string(i) + ".lnk", target) ? 1 : 0;
    }
    std::fprintf(stderr, "folders=%ld links=%ld broken=%ld\n", folders, made, links / 5);
    return made == links ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    CoInitialize(nullptr);
    int rc = 2;
    if (argc >= 2 && std::strcmp(argv[1], "walk") == 0) {
        rc = RunWalk(argc >= 3 ? argv[2] : nullptr);
    } else if (argc == 5 && std::strcmp(argv[1], "make-tree") == 0) {
        rc = MakeTree(argv[2], std::atol(argv[3]), std::atol(argv[4]));
    } else {
        std::fprintf(stderr, "usage: shortcut-baseline walk [LETTERS] | make-tree ROOT FOLDERS LINKS\n");
    }
    CoUninitialize();
    return rc;
}
