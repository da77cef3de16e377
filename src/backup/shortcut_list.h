#pragma once
// The shortcut files a fix lists in its backup file: a restore moves back only those.
#include <string>
#include <vector>

namespace backup {

// The root element's attribute by which a fix says that it lists every shortcut file it moves.
inline constexpr char kShortcutsListedAttribute[] = "shortcuts";

struct ShortcutList {
    bool listing = false;           // the file is from a fix that lists its shortcuts
    std::vector<std::string> paths; // the original path of each, in file order
};

// Reads the "shortcut" elements (and the root's attribute) of a backup file; empty when it cannot be read.
ShortcutList ReadShortcutList(const std::string& backupFile);

} // namespace backup
