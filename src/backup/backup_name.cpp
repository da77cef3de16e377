#include "backup/backup_name.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace backup {
namespace {

constexpr const char* kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

// Two files may be created within the same second by more than two runs only rarely; the bound only keeps a
// folder full of names from looping for long.
constexpr int kMaxSuffix = 10000;

std::string WithSuffix(const std::string& path, int n) {
    const std::size_t slash = path.find_last_of("\\/:");
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string suffix = "-" + std::to_string(n);
    return hasExtension ? path.substr(0, dot) + suffix + path.substr(dot) : path + suffix;
}

} // namespace

std::string BackupFileName(const base::Clock& clock) {
    const base::LocalTime t = clock.Now();
    const char* weekday = t.weekday >= 0 && t.weekday < 7 ? kWeekdays[t.weekday] : "";
    const char* month = t.month >= 1 && t.month <= 12 ? kMonths[t.month - 1] : "";
    char name[128];
    std::snprintf(name, sizeof name, "FixedOn%s%s%02d%04d%02d%02d%02d.xml", weekday, month, t.day, t.year,
                  t.hour, t.minute, t.second);
    return name;
}

std::string ReserveBackupFile(const std::string& path, std::string* why) {
    const auto fail = [why](const std::string& reason) {
        if (why != nullptr) {
            *why = reason;
        }
        return std::string();
    };
    if (path.empty()) {
        return fail("no file name");
    }
    // "\\.\..." names devices and volumes, whatever GetFileType says of them.
    if (path.size() >= 4 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/') &&
        path[2] == '.' && (path[3] == '\\' || path[3] == '/')) {
        return fail("'" + path + "' names a device, not a file on a disk");
    }
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const std::string candidate = n == 1 ? path : WithSuffix(path, n);
        // CREATE_NEW fails when the name exists, so a backup written by another run at the same moment is
        // never replaced.
        const HANDLE file = CreateFileA(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            // A reserved name (NUL, CON, COM1, ... with any extension, in any folder) opens the device.
            const DWORD type = GetFileType(file);
            CloseHandle(file);
            if (type != FILE_TYPE_DISK) {
                return fail("'" + candidate + "' is a device, not a file on a disk");
            }
            return candidate;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return fail("'" + candidate + "' cannot be created (error " + std::to_string(error) + ")");
        }
    }
    return fail("no free name next to '" + path + "'");
}

} // namespace backup
