#include "scan_dialog/backup_folder.h"

#include <windows.h>

#include <shlobj.h>

#include "backup/backup_name.h"
#include "base/program_folder.h"

std::string WindowBackupFolder() {
    // MAX_PATH UTF-16 units, up to 3 bytes each under the UTF-8 code page.
    char local[MAX_PATH * 3] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)) ||
        !*local) {
        return {};
    }
    std::string folder = local;
    if (folder.back() != '\\') {
        folder += '\\';
    }
    return folder + "Orvalin\\Backups\\";
}

std::string BackupPathIn(const std::string& folder) {
    if (!folder.empty()) {
        base::CreateFolderTree(folder);
    }
    return folder + backup::BackupFileName();
}
