#pragma once
// The scheduled-scan work item in Task Scheduler 1.0: create it, add a trigger, find a trigger by
// its start, list the schedules with the last run time, delete a trigger. Every operation takes the
// work item's name (GetScheduleTaskName for the real one) and returns an HRESULT; none shows a message.
//
// Disabled triggers are not schedules (the scheduler writes one into a work item saved without
// triggers): listing, finding and deleting pass over them.
#include "scheduler/scheduled_task.h"

#include <windows.h>
#include <mstask.h>

#include <ctime>
#include <string>
#include <vector>

namespace scheduler {

// HRESULT_FROM_WIN32(ERROR_FILE_EXISTS): SaveTask found a work item of that name.
inline constexpr HRESULT kWorkItemExists = static_cast<HRESULT>(0x80070050);
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND): there is no work item of that name.
inline constexpr HRESULT kNoWorkItem = static_cast<HRESULT>(0x80070002);

// One schedule (an enabled trigger) of the work item.
struct ScheduleEntry {
    std::string
        description;       // the scheduler's description, or ours: "At 10:15 every day, starting 02/01/2027"
    WORD triggerIndex = 0; // the scheduler's index of the trigger, for DeleteTrigger
};

// Creates the work item without triggers. E_FAIL without touching the scheduler when the start
// year, the name or the program path is missing; kWorkItemExists (unchanged) when it exists.
HRESULT SaveTask(const CScheduledTask& settings, const std::string& name);

// Adds the trigger built from the settings to the existing work item and saves it.
// E_FAIL as SaveTask for missing settings.
HRESULT AddTrigger(const CScheduledTask& settings, const std::string& name);

// The scheduler's index of the first schedule that starts at the settings' start, or -1.
HRESULT FindTrigger(const CScheduledTask& settings, const std::string& name, int& index);

// The work item's schedules in trigger order and its most recent run time (0 if it never ran).
// On failure the list is empty and the time 0.
HRESULT ListSchedule(const std::string& name, std::vector<ScheduleEntry>& entries, std::time_t& lastRun);

// Removes the trigger with the scheduler's index (ScheduleEntry::triggerIndex) and saves the work
// item, which stays even without triggers. A disabled trigger or an index out of range is
// SCHED_E_TRIGGER_NOT_FOUND.
HRESULT DeleteTrigger(const std::string& name, int index);

// --- Pieces of the operations, also used by the tests ---

// The work item's flags: on the NT family interactive and run only while the user is logged on (which
// is what lets the account go without a password). A scheduled scan runs on batteries as well: a laptop
// that is seldom plugged in would otherwise skip it, or stop it part way, without a word.
DWORD TaskFlags(bool ntFamily);

// Writes program, parameters, directory, flags, account and comment into a new work item.
// The flags go first: Windows accepts an account without a password only once
// TASK_FLAG_RUN_ONLY_IF_LOGGED_ON is set. Stops at the first failing call.
HRESULT ConfigureWorkItem(ITask& task, const CScheduledTask& settings);

// A local-time SYSTEMTIME as a point in time; a zero SYSTEMTIME (never run) gives 0.
std::time_t LocalSystemTimeToTime(const SYSTEMTIME& local);

} // namespace scheduler
