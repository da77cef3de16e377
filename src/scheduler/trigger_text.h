#pragma once
// Texts of the schedule list: a trigger described in words (for schedulers that cannot describe
// their triggers themselves) and the work item's last run.
#include <windows.h>
#include <mstask.h>

#include <ctime>
#include <string>

namespace scheduler {

// "At 10:15 every Saturday of every week, starting 02/01/2027": the time and date in the locale's
// formats (time without seconds, short date), the rest in English.
std::string DescribeTrigger(const TASK_TRIGGER& trigger, LCID locale = LOCALE_USER_DEFAULT);

// "Never" for time 0, otherwise the local time as "%H:%M:%S %d-%m-%y".
std::string FormatLastRun(std::time_t lastRun);

} // namespace scheduler
