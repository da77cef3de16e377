#include "demo_shortcuts.h"

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace seed {
namespace {

struct DemoLink {
    int folder;         // CSIDL of the base folder, or -1 for the root folder of the system drive
    const char* subdir; // below the base folder; empty for none
    const char* name;   // the file name, without ".lnk"
    const char* target; // below the demo root
    bool broken;        // the target is never created
};

// Deterministic: the same set on every run.
const DemoLink kLinks[] = {
    {CSIDL_DESKTOPDIRECTORY, "", "OrvalinDemo Editor", "bin\\helper.exe", false},
    {CSIDL_DESKTOPDIRECTORY, "", "OrvalinDemo Old Game", "games\\oldgame.exe", true},
    {CSIDL_PROGRAMS, "OrvalinDemo Suite", "OrvalinDemo Server", "bin\\Demo Server.exe", false},
    {CSIDL_PROGRAMS, "OrvalinDemo Suite", "OrvalinDemo Uninstaller", "suite\\uninstall.exe", true},
    {CSIDL_PROGRAMS, "OrvalinDemo Suite\\Tools\\Legacy", "OrvalinDemo Converter", "legacy\\convert.exe",
     true},
    {CSIDL_PROGRAMS, "OrvalinDemo Suite\\Tools", "OrvalinDemo Widget", "bin\\widget.dll", false},
    {-1, "", "OrvalinDemo In The Root", "root\\gone.exe", true},
};

std::string BaseFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (csidl < 0) {
        GetWindowsDirectoryA(path, MAX_PATH);
        return std::string(path, 2); // "C:" of the system drive
    }
    if (FAILED(SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return std::string();
    }
    return path;
}

std::string LinkFolder(const DemoLink& link) {
    const std::string base = BaseFolder(link.folder);
    if (base.empty()) {
        return base;
    }
    return *link.subdir ? base + "\\" + link.subdir : base;
}

bool SaveLink(const std::string& path, const std::string& target) {
    IShellLinkA* shell = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shell)))) {
        return false;
    }
    shell->SetPath(target.c_str()); // S_FALSE for a missing target; the link is still saved
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        saved = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    shell->Release();
    return saved;
}

// COM for the length of one call of ours.
class ComScope {
public:
    ComScope() : m_ok(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (m_ok) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool m_ok;
};

} // namespace

ShortcutCounts WriteDemoShortcuts(const DemoLayout& layout) {
    const ComScope com;
    ShortcutCounts counts;
    for (const DemoLink& link : kLinks) {
        const std::string folder = LinkFolder(link);
        const std::string target = layout.root + "\\" + link.target;
        if (folder.empty() || !MakeFolders(folder)) {
            ++counts.failures;
            continue;
        }
        if (!link.broken) {
            DemoWriter files;
            files.File(target);
            counts.failures += files.Failures();
        }
        if (!SaveLink(folder + "\\" + link.name + ".lnk", target)) {
            ++counts.failures;
            continue;
        }
        ++counts.created;
        if (link.broken && link.folder >= 0) {
            ++counts.broken;
        }
    }
    return counts;
}

int RemoveDemoShortcuts() {
    int failures = 0;
    for (const DemoLink& link : kLinks) {
        const std::string folder = LinkFolder(link);
        if (folder.empty()) {
            continue;
        }
        const std::string path = folder + "\\" + link.name + ".lnk";
        if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
            GetLastError() != ERROR_PATH_NOT_FOUND) {
            ++failures;
        }
    }
    // The demo's own start-menu folders, deepest first; a folder the user filled stays.
    const std::string programs = BaseFolder(CSIDL_PROGRAMS);
    for (const char* sub :
         {"OrvalinDemo Suite\\Tools\\Legacy", "OrvalinDemo Suite\\Tools", "OrvalinDemo Suite"}) {
        RemoveDirectoryA((programs + "\\" + sub).c_str());
    }
    return failures;
}

} // namespace seed
