#pragma once
// A SYSTEMTIME from its parts, for tests that set dates and times.
#include <windows.h>

namespace testsupport {

inline SYSTEMTIME MakeTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second = 0,
                           WORD milliseconds = 0) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = milliseconds;
    return time;
}

} // namespace testsupport
