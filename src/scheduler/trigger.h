#pragma once
// One trigger of the work item: built from the settings, compared by its start, and told apart
// from the disabled trigger the scheduler writes into a work item saved without any.
#include "scheduler/scheduled_task.h"

#include <windows.h>
#include <mstask.h>

namespace scheduler {

// The weekday flag of a date (Sunday 0x1 ... Saturday 0x40); 0 for an impossible date.
WORD WeekdayFlag(int year, int month, int day);

// The trigger for the settings' start and frequency: once, daily, weekly on the start's weekday,
// or monthly on the start's day of the month in all twelve months. No end, duration or interval.
TASK_TRIGGER BuildTrigger(const CScheduledTask& settings);

// A disabled trigger never fires, so it is not a schedule (the scheduler saves one in a work item
// that has no trigger of its own).
bool IsScheduleTrigger(const TASK_TRIGGER& trigger);

// Same begin date and start hour and minute; the frequency does not count.
bool StartsAt(const TASK_TRIGGER& trigger, const SYSTEMTIME& start);

} // namespace scheduler
