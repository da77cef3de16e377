#pragma once
// The clock, behind a seam so that tests can fix the time.
namespace base {

// The local time, field by field.
struct LocalTime {
    int year = 0;
    int month = 1;   // 1-12
    int day = 1;     // 1-31
    int weekday = 0; // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
};

// The machine's local time (GetLocalTime).
const Clock& SystemClock();

} // namespace base
