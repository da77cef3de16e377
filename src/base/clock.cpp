#include "base/clock.h"

#include <windows.h>

namespace base {
namespace {

class SystemClockImpl final : public Clock {
public:
    LocalTime Now() const override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        return LocalTime{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond};
    }
};

} // namespace

const Clock& SystemClock() {
    static const SystemClockImpl clock;
    return clock;
}

} // namespace base
