#include "scheduler/trigger.h"

#include <chrono>

namespace scheduler {

WORD WeekdayFlag(int year, int month, int day) {
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                              std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) {
        return 0;
    }
    return static_cast<WORD>(1u << weekday{sys_days{date}}.c_encoding());
}

TASK_TRIGGER BuildTrigger(const CScheduledTask& settings) {
    const SYSTEMTIME& start = settings.StartTime();
    TASK_TRIGGER trigger{};
    trigger.cbTriggerSize = sizeof(TASK_TRIGGER);
    trigger.wBeginYear = start.wYear;
    trigger.wBeginMonth = start.wMonth;
    trigger.wBeginDay = start.wDay;
    trigger.wStartHour = start.wHour;
    trigger.wStartMinute = start.wMinute;
    switch (settings.Frequency()) {
    case kFrequencyDaily:
        trigger.TriggerType = TASK_TIME_TRIGGER_DAILY;
        trigger.Type.Daily.DaysInterval = 1;
        break;
    case kFrequencyWeekly:
        trigger.TriggerType = TASK_TIME_TRIGGER_WEEKLY;
        trigger.Type.Weekly.WeeksInterval = 1;
        trigger.Type.Weekly.rgfDaysOfTheWeek = WeekdayFlag(start.wYear, start.wMonth, start.wDay);
        break;
    case kFrequencyMonthly:
        trigger.TriggerType = TASK_TIME_TRIGGER_MONTHLYDATE;
        // Days 1..31 are bits 0..30; a day outside that range would shift past the field.
        trigger.Type.MonthlyDate.rgfDays = start.wDay >= 1 && start.wDay <= 31 ? 1u << (start.wDay - 1) : 0;
        trigger.Type.MonthlyDate.rgfMonths = 0xFFF;
        break;
    default:
        trigger.TriggerType = TASK_TIME_TRIGGER_ONCE;
        break;
    }
    return trigger;
}

bool IsScheduleTrigger(const TASK_TRIGGER& trigger) {
    return (trigger.rgFlags & TASK_TRIGGER_FLAG_DISABLED) == 0;
}

bool StartsAt(const TASK_TRIGGER& trigger, const SYSTEMTIME& start) {
    return trigger.wBeginYear == start.wYear && trigger.wBeginMonth == start.wMonth &&
           trigger.wBeginDay == start.wDay && trigger.wStartHour == start.wHour &&
           trigger.wStartMinute == start.wMinute;
}

} // namespace scheduler
