#include "scheduler/trigger_text.h"

#include <string_view>

namespace scheduler {
namespace {

constexpr std::string_view kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                           "Thursday", "Friday", "Saturday"};
constexpr std::string_view kMonthNames[12] = {"January",   "February", "March",    "April",
                                              "May",       "June",     "July",     "August",
                                              "September", "October",  "November", "December"};
constexpr std::string_view kWeekNames[5] = {"first", "second", "third", "fourth", "last"};

std::string TimeText(const TASK_TRIGGER& trigger, LCID locale) {
    SYSTEMTIME time{};
    time.wYear = 2000;
    time.wMonth = 1;
    time.wDay = 1;
    time.wHour = trigger.wStartHour;
    time.wMinute = trigger.wStartMinute;
    char text[64] = {};
    if (trigger.wStartHour > 23 || trigger.wStartMinute > 59 ||
        GetTimeFormatA(locale, TIME_NOSECONDS, &time, nullptr, text, sizeof text) == 0) {
        return std::to_string(trigger.wStartHour) + ":" + (trigger.wStartMinute < 10 ? "0" : "") +
               std::to_string(trigger.wStartMinute);
    }
    return text;
}

std::string DateText(WORD year, WORD month, WORD day, LCID locale) {
    SYSTEMTIME date{};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    char text[64] = {};
    if (GetDateFormatA(locale, DATE_SHORTDATE, &date, nullptr, text, sizeof text) == 0) {
        // A date the system refuses to format (year 0, day 31 of February) is still shown.
        return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day);
    }
    return text;
}

// Names of the set bits, joined: "Monday, Saturday". Bit 0 is the first name.
template <size_t N> std::string NamesOfBits(DWORD bits, const std::string_view (&names)[N]) {
    std::string text;
    for (size_t i = 0; i < N; ++i) {
        if (bits & (1u << i)) {
            if (!text.empty()) {
                text += ", ";
            }
            text += names[i];
        }
    }
    return text.empty() ? "no day" : text;
}

std::string DayNumbers(DWORD days) {
    std::string text;
    int count = 0;
    for (int day = 1; day <= 31; ++day) {
        if (days & (1u << (day - 1))) {
            text += (count++ ? ", " : "") + std::to_string(day);
        }
    }
    return count == 1 ? "day " + text : count == 0 ? "no day" : "days " + text;
}

std::string MonthsText(WORD months) {
    return (months & 0xFFF) == 0xFFF ? "every month" : NamesOfBits(months, kMonthNames);
}

std::string Every(WORD interval, const char* one, const char* many) {
    return interval <= 1 ? std::string("every ") + one : "every " + std::to_string(interval) + " " + many;
}

} // namespace

std::string DescribeTrigger(const TASK_TRIGGER& trigger, LCID locale) {
    const std::string at = "At " + TimeText(trigger, locale);
    const std::string starting =
        ", starting " + DateText(trigger.wBeginYear, trigger.wBeginMonth, trigger.wBeginDay, locale);
    switch (trigger.TriggerType) {
    case TASK_TIME_TRIGGER_ONCE:
        return at + " on " + DateText(trigger.wBeginYear, trigger.wBeginMonth, trigger.wBeginDay, locale);
    case TASK_TIME_TRIGGER_DAILY:
        return at + " " + Every(trigger.Type.Daily.DaysInterval, "day", "days") + starting;
    case TASK_TIME_TRIGGER_WEEKLY:
        return at + " every " + NamesOfBits(trigger.Type.Weekly.rgfDaysOfTheWeek, kDayNames) + " of " +
               Every(trigger.Type.Weekly.WeeksInterval, "week", "weeks") + starting;
    case TASK_TIME_TRIGGER_MONTHLYDATE:
        return at + " on " + DayNumbers(trigger.Type.MonthlyDate.rgfDays) + " of " +
               MonthsText(trigger.Type.MonthlyDate.rgfMonths) + starting;
    case TASK_TIME_TRIGGER_MONTHLYDOW: {
        const WORD week = trigger.Type.MonthlyDOW.wWhichWeek;
        const std::string_view which = week >= 1 && week <= 5 ? kWeekNames[week - 1] : "some";
        return at + " on the " + std::string(which) + " " +
               NamesOfBits(trigger.Type.MonthlyDOW.rgfDaysOfTheWeek, kDayNames) + " of " +
               MonthsText(trigger.Type.MonthlyDOW.rgfMonths) + starting;
    }
    case TASK_EVENT_TRIGGER_ON_IDLE:
        return "When the computer is idle";
    case TASK_EVENT_TRIGGER_AT_SYSTEMSTART:
        return "At system startup";
    case TASK_EVENT_TRIGGER_AT_LOGON:
        return "At logon";
    }
    return "Unknown schedule";
}

std::string FormatLastRun(std::time_t lastRun) {
    if (lastRun == 0) {
        return "Never";
    }
    std::tm local{};
    if (localtime_s(&local, &lastRun) != 0) {
        return "Unknown";
    }
    char text[32] = {};
    std::strftime(text, sizeof text, "%H:%M:%S %d-%m-%y", &local);
    return text;
}

} // namespace scheduler
