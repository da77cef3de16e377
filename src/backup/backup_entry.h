#pragma once
// Writing one finding's entry to the backup file, with what the fix needs to know about it.
#include "engine/registry_lib.h"

class CXmlWriter;

struct BackupEntryResult {
    bool written = false;     // the whole entry is in the file and flushed to disk
    LONG openCode = 0;        // when not written because the key could not be opened: the open's code
    bool writeFailed = false; // a write failed: the file is no longer a safe place for further entries
    // Why the finding may not be removed although its key could be read (a registry link in it or on it, a
    // tree too deep, a value that no longer is what the scan found); empty otherwise.
    std::string refusal;
};

// The entry of one finding: the chain of "k" elements down to the key, then the key's content (value null:
// all its values and subkeys; a part of its path that is a registry link is marked as one) or that one value
// as the registry holds it now and the key's subkeys. The file stays well nested whatever fails; the entry
// then counts as not written.
BackupEntryResult WriteBackupEntry(CRegistryLib& engine, CXmlWriter& writer, const std::string& keyPath,
                                   const CRegValue* value);
