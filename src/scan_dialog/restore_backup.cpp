#include "scan_dialog/restore_backup.h"

#include <commdlg.h>

#include "engine/registry_lib.h"
#include "backup/shortcut_list.h"
#include "shortcuts/shortcut_backup.h"

namespace {

// The shortcuts the backup file lists, as the shortcut restore takes them.
shortcuts::ListedShortcuts ListedIn(const std::string& backupFile) {
    if (GetFileAttributesA(shortcuts::ShortcutBackupFolder(backupFile).c_str()) == INVALID_FILE_ATTRIBUTES) {
        return {}; // nothing kept beside it: the file need not be read again
    }
    const backup::ShortcutList list = backup::ReadShortcutList(backupFile);
    return shortcuts::ListedShortcuts{list.listing, list.paths};
}

} // namespace

std::string AskForBackupFile(HWND owner) {
    static const char kFilter[] = "XML Files (*.xml)\0*.xml\0All Files (*.*)\0*.*\0";
    // MAX_PATH UTF-16 units, up to 3 bytes each under the UTF-8 code page.
    char folder[MAX_PATH * 3] = {};
    const DWORD folderLength = GetCurrentDirectoryA(sizeof folder, folder);
    // MAX_PATH UTF-16 units, up to 3 bytes each under the UTF-8 code page.
    char file[MAX_PATH * 3] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folderLength > 0 && folderLength < sizeof folder ? folder : nullptr;
    ofn.lpstrDefExt = "xml";
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) {
        return std::string();
    }
    return file;
}

bool RestoreBackup(CRegistryLib& engine, const std::string& backupFile) {
    const bool restored = engine.RestoreRegistryFrom(backupFile);
    // Shortcuts that cannot go back stay in the backup folder: nothing is lost either way.
    shortcuts::RestoreShortcuts(backupFile, ListedIn(backupFile));
    return restored;
}

bool RestoreFromBackupFile(HWND owner) {
    const std::string file = AskForBackupFile(owner);
    if (file.empty()) {
        return false;
    }
    CRegistryLib engine;
    return RestoreBackup(engine, file);
}
