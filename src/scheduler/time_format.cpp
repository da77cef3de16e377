#include "scheduler/time_format.h"

#include <windows.h>

namespace scheduler {

std::string TimeFormatWithoutSeconds(const std::string& format, const std::string& separator) {
    std::string result = format;
    for (const std::string& seconds : {separator + "ss", separator + "s"}) {
        const size_t at = result.find(seconds);
        if (at != std::string::npos) {
            result.erase(at, seconds.size());
            break;
        }
    }
    return result;
}

std::string UserTimeFormatWithoutSeconds() {
    char format[64] = {};
    char separator[64] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format, sizeof format);
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, sizeof separator);
    return TimeFormatWithoutSeconds(format, separator);
}

} // namespace scheduler
