#pragma once
// The name of a fix's backup file and its creation without ever replacing an older backup.
#include <string>

namespace backup {

// The local time as the backup name needs it.
struct LocalTime {
    int year = 0;
    int month = 1;   // 1-12
    int day = 1;     // 1-31
    int weekday = 0; // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The clock, behind a seam so that tests can fix the time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
};

// The machine's local time (GetLocalTime).
const Clock& SystemClock();

// "FixedOn%A%B%d%Y%H%M%S.xml" of the clock's time: FixedOnMondayFebruary162004143005.xml. No folder, so the
// file lands in the current directory.
std::string BackupFileName(const Clock& clock = SystemClock());

// Creates `path` as a new, empty file, or, when a file of that name exists, the first free name of
// "name-2.ext", "name-3.ext", ... Returns the name created; empty when no file could be created, or when
// the name is not a plain file on a disk (a device such as NUL or COM1, a "\\.\" name): a backup written
// there would exist nowhere. `why`, when given, then says which.
std::string ReserveBackupFile(const std::string& path, std::string* why = nullptr);

} // namespace backup
