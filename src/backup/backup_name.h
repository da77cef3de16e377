#pragma once
// The name of a fix's backup file and its creation without ever replacing an older backup.
#include "base/clock.h"

#include <string>

namespace backup {

// "FixedOn%A%B%d%Y%H%M%S.xml" of the clock's time: FixedOnMondayFebruary162004143005.xml. No folder, so the
// file lands in the current directory.
std::string BackupFileName(const base::Clock& clock = base::SystemClock());

// Creates `path` as a new, empty file, or, when a file of that name exists, the first free name of
// "name-2.ext", "name-3.ext", ... Returns the name created; empty when no file could be created.
std::string ReserveBackupFile(const std::string& path);

} // namespace backup
