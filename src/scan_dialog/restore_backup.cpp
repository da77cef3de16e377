#include "scan_dialog/restore_backup.h"

#include <commdlg.h>

#include "engine/registry_lib.h"
#include "shortcuts/shortcut_backup.h"

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
    shortcuts::RestoreShortcuts(backupFile);
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
