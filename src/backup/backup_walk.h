#pragma once
// The one reading of a backup file's structure, shared by the restore (which writes into the registry)
// and by the tools that only list what a restore would write (the console's export).
#include "backup/backup_format.h"

#include <string>

class CXmlReader;

// What the walk reports, in file order.
class BackupVisitor {
public:
    virtual ~BackupVisitor() = default;
    // A "k" element's name (its raw name when it has one), below the keys opened before it and not yet
    // closed; `link` when the file records that the key was a registry link. Returning false ends the walk.
    virtual bool OpenKey(const std::string& name, int lineNumber, bool link) = 0;
    // The end tag of the innermost open key.
    virtual void CloseKey() = 0;
    // A complete "v" element inside an open key. (One outside every key is passed over.)
    virtual void Value(const PendingValue& value) = 0;
};

// Reads `reader` to its end (or until the visitor stops it). The reader must already have its input.
// Returns false when the visitor stopped the walk; the reader's own errors are left for the caller.
bool WalkBackup(CXmlReader& reader, BackupVisitor& visitor);
