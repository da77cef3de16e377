#include "shortcuts/shortcut_backup.h"

#include "base/unique_handle.h"
#include "shortcuts/link_target.h"
#include "shortcuts/long_path.h"

#include <windows.h>

#include <utility>

namespace shortcuts {
namespace {

constexpr char kFolderSuffix[] = ".shortcuts";

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// One file kept in the backup folder: where it is now and where it came from.
struct KeptFile {
    std::wstring kept;
    std::wstring original;
};

// Every file below one drive folder of the backup, and every folder met (parents before children).
// Iterative, and reparse points are not entered, like the scan.
void CollectKeptFiles(const std::wstring& driveFolder, wchar_t letter, std::vector<KeptFile>& files,
                      std::vector<std::wstring>& folders) {
    std::vector<std::wstring> pending{L""};
    while (!pending.empty()) {
        const std::wstring relative = std::move(pending.back());
        pending.pop_back();
        const std::wstring folder = relative.empty() ? driveFolder : driveFolder + L"\\" + relative;
        folders.push_back(folder);
        WIN32_FIND_DATAW entry{};
        const base::FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
        if (!find) {
            continue;
        }
        do {
            if (IsDotEntry(entry.cFileName)) {
                continue;
            }
            const std::wstring child =
                relative.empty() ? entry.cFileName : relative + L"\\" + entry.cFileName;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                continue;
            }
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                pending.push_back(child);
            } else {
                files.push_back(
                    {driveFolder + L"\\" + child, std::wstring(L"\\\\?\\") + letter + L":\\" + child});
            }
        } while (FindNextFileW(find.Get(), &entry));
    }
}

// The upper-case letter of a drive folder of the backup ("C"), or 0 for any other entry.
wchar_t DriveFolderLetter(const WIN32_FIND_DATAW& entry) {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || entry.cFileName[1] != L'\0') {
        return 0;
    }
    const wchar_t letter = entry.cFileName[0];
    if (letter >= L'a' && letter <= L'z') {
        return static_cast<wchar_t>(letter - L'a' + L'A');
    }
    return letter >= L'A' && letter <= L'Z' ? letter : 0;
}

bool RestoreOne(const KeptFile& file) {
    if (Exists(file.original) || !CreateFolderTree(ParentFolder(file.original))) {
        return false;
    }
    // A copy left behind in the backup folder is harmless: the shortcut is back in its place.
    return MoveFileNoReplace(file.kept, file.original) != MoveResult::Failed;
}

} // namespace

std::string ShortcutBackupFolder(const std::string& backupFile) {
    return backupFile + kFolderSuffix;
}

std::string ShortcutBackupPath(const std::string& backupFile, const std::string& shortcutPath) {
    const char letter = TargetDriveLetter(shortcutPath);
    if (backupFile.empty() || letter == 0 || shortcutPath.size() < 4) {
        return {};
    }
    return ShortcutBackupFolder(backupFile) + "\\" + letter + shortcutPath.substr(2);
}

bool MoveShortcutToBackup(const std::string& backupFile, const std::string& shortcutPath) {
    const std::string keptPath = ShortcutBackupPath(backupFile, shortcutPath);
    const std::wstring from = ExtendedPath(shortcutPath);
    const std::wstring to = ExtendedPath(keptPath);
    if (keptPath.empty() || from.empty() || to.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    if (Exists(to) || !CreateFolderTree(ParentFolder(to))) {
        return false;
    }
    switch (MoveFileNoReplace(from, to)) {
    case MoveResult::Moved:
        return true;
    case MoveResult::Copied:
        // The original could not be deleted: it stays, and the copy is not kept.
        DeleteFileW(to.c_str());
        return false;
    case MoveResult::Failed:
        break;
    }
    return false;
}

ShortcutRestoreResult RestoreShortcuts(const std::string& backupFile) {
    ShortcutRestoreResult result;
    if (backupFile.empty()) {
        return result;
    }
    const std::wstring root = ExtendedPath(ShortcutBackupFolder(backupFile));
    if (root.empty()) {
        return result;
    }
    std::vector<KeptFile> files;
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW entry{};
    {
        const base::FindHandle find(FindFirstFileW((root + L"\\*").c_str(), &entry));
        if (!find) {
            return result;
        }
        do {
            const wchar_t letter = DriveFolderLetter(entry);
            if (letter != 0) {
                CollectKeptFiles(root + L"\\" + entry.cFileName, letter, files, folders);
            }
        } while (FindNextFileW(find.Get(), &entry));
    }
    for (const KeptFile& file : files) {
        (RestoreOne(file) ? result.restored : result.notRestored).push_back(NarrowPath(file.original));
    }
    // Children were met after their parents: removing in reverse order empties the tree bottom-up.
    // A folder that still holds a file that could not be restored stays.
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        RemoveDirectoryW(it->c_str());
    }
    RemoveDirectoryW(root.c_str());
    return result;
}

} // namespace shortcuts
