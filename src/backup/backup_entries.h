#pragma once
// A backup file read the way the restore reads it, without touching the registry: every key the restore
// would open, in file order, with the values it would set there. Tools that turn a backup into another
// form (the console's export) read it through this, so they show exactly what a restore would write.
#include "backup/backup_format.h"

#include <string>
#include <vector>

class CXmlReader;

// One "k" element: a key the restore opens (creating it and its missing parents).
struct BackupKey {
    static constexpr std::size_t kNoParent = static_cast<std::size_t>(-1);
    // The enclosing "k" (an index into BackupContents::keys), or kNoParent for a root-key name.
    std::size_t parent = kNoParent;
    std::string name; // as the restore uses it: the raw name when the element has one
    // A key was opened inside this one before its end tag.
    bool hasSubkeys = false;
    // The values set while this key was the innermost open one, in the order they are set.
    std::vector<RestoredValue> values;
};

// A "v" element the restore cannot set ("couldn't set value %s"); it goes on with the next one.
struct UnreadableValue {
    std::string keyPath;
    std::string name; // as the file has it
};

struct BackupContents {
    std::vector<BackupKey> keys; // in the order their "name" attributes are read
    std::vector<UnreadableValue> unreadable;
    // Empty when the restore would read the file to its end; otherwise why it would fail (the parse error
    // with its line, a root-key name outside the table, a key deeper than the registry allows, a file that
    // cannot be opened).
    std::string error;

    // The root-key name, then every subkey name down to the key; the restore joins them with backslashes.
    std::vector<std::string> PathOf(std::size_t key) const;
    std::string JoinedPathOf(std::size_t key) const;
};

// The registry holds at most this many levels of keys below a root key; the restore cannot create deeper.
inline constexpr std::size_t kMaxKeyDepth = 512;

// Reads the file at `path`, or with an empty path the text the reader was given with SetText. True when
// `error` stayed empty. A file cut short after a whole entry reads as far as it goes, as in the restore.
bool ReadBackupEntries(CXmlReader& reader, const std::string& path, BackupContents& contents);
