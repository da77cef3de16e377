#include "backup/backup_name.h"

#include <windows.h>

#include <cstdio>

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

std::string ReserveBackupFile(const std::string& path) {
    if (path.empty()) {
        return std::string();
    }
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const std::string candidate = n == 1 ? path : WithSuffix(path, n);
        // CREATE_NEW fails when the name exists, so a backup written by another run at the same moment is
        // never replaced.
        const HANDLE file = CreateFileA(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return candidate;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return std::string();
        }
    }
    return std::string();
}

} // namespace backup
