#pragma once
// The shortcut part of a fix's backup. The fix does not delete a shortcut: it moves the file into a
// folder beside the backup file, named after it, keeping the file's drive and path below it:
//   FixedOnMondayFebruary162004143005.xml.shortcuts\C\Users\Public\Desktop\Old.lnk
// Before each move the backup file gets a "shortcut" element with the shortcut's path, and a restore
// moves back only the .lnk files so listed, each only to its own place: anyone may be able to write to
// the folder beside a backup, and nothing they put there is moved anywhere. The wide file calls with "\\?\"
// paths are used here, so a deep backup folder never stops a shortcut from being kept or brought back.
#include <string>
#include <vector>

namespace shortcuts {

// "<backup file>.shortcuts".
std::string ShortcutBackupFolder(const std::string& backupFile);

// Where one shortcut is kept: "<backup file>.shortcuts\C\dir\x.lnk" for "C:\dir\x.lnk"; empty for a
// path that does not start with a drive letter, a colon and a backslash.
std::string ShortcutBackupPath(const std::string& backupFile, const std::string& shortcutPath);

// Moves one shortcut file into the backup folder, after listing it in the backup file. Returns false,
// with the file left where it was, when it is gone, read-only (a plain deletion would fail on it too),
// already kept there by an earlier fix of the same name, cannot be listed in the backup file (which must
// end with its root end tag) or cannot be moved.
bool MoveShortcutToBackup(const std::string& backupFile, const std::string& shortcutPath);

struct ShortcutRestoreResult {
    std::vector<std::string> restored;     // original paths of the files moved back
    std::vector<std::string> notRestored;  // original paths that could not be (a file is already there,
                                           // or the move failed); those stay in the backup folder
    std::vector<std::string> leftInFolder; // files in the backup folder the fix did not put there (not
                                           // listed, or not a .lnk file); never moved
};

// The shortcuts a backup file lists (its "shortcut" elements), and whether it is from a fix that lists
// them at all (its root's "shortcuts" attribute); read by the backup layer.
struct ListedShortcuts {
    bool listing = false;
    std::vector<std::string> paths;
};

// Moves the files kept for this backup back to their original paths, creating missing folders on the
// way, and removes the backup folders that end up empty: a backup that lists its shortcuts gets back
// the listed .lnk files only; an older one (no list) its .lnk files. A file already present at the
// original path is never replaced. Without a backup folder there is nothing to do.
ShortcutRestoreResult RestoreShortcuts(const std::string& backupFile, const ListedShortcuts& listed);

} // namespace shortcuts
