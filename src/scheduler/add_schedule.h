#pragma once
// What OK in the Add Schedule dialog does: create the work item if needed, add the trigger unless
// one starts at the same minute, and tell the user the outcome in one of three messages.
#include "scheduler/scheduled_task.h"
#include "base/message_box.h"

#include <windows.h>

#include <string>

namespace scheduler {

inline constexpr char kScheduleCreated[] = "Schedule Creation Success!!";
inline constexpr char kScheduleFailed[] = "Schedule Creation Failed!!";
inline constexpr char kAlreadyScheduled[] = "Already Scheduled For This Time!!";
inline constexpr char kScheduleCaption[] = "Orvalin";

// The user's choice: the date's year, month and day, the time's hour and minute (local time;
// seconds are ignored) and the frequency, kFrequencyOnce to kFrequencyMonthly.
struct ScheduleRequest {
    SYSTEMTIME date{};
    SYSTEMTIME time{};
    int frequency = kFrequencyOnce;
};

// Whose work item, and what it runs ("<programPath> scan" in the program's folder, as the account).
struct ScheduleTarget {
    std::string taskName;
    std::string programPath;
    std::string startingDir;
    std::string account;
};

// The target for a program: the current user's work item, the program's folder, the user's account.
ScheduleTarget TargetForProgram(const std::string& programPath);

// Full path of the running executable (GetModuleFileNameA).
std::string RunningProgramPath();

enum class ScheduleOutcome { Created, AlreadyScheduled, Failed };

struct AddScheduleResult {
    ScheduleOutcome outcome = ScheduleOutcome::Failed;
    HRESULT error = S_OK; // the failing call's HRESULT when the outcome is Failed
};

// The settings for a scheduled scan: start = the request's date with its hour and minute,
// parameters "scan".
CScheduledTask MakeScanSettings(const ScheduleRequest& request, const ScheduleTarget& target);

// Creates the work item when it does not exist yet, then adds the trigger unless an enabled one
// already starts at the same date and minute (whatever its frequency).
AddScheduleResult AddSchedule(const ScheduleRequest& request, const ScheduleTarget& target);

// The message for an outcome (one of the three texts above).
const char* OutcomeMessage(ScheduleOutcome outcome);

// Shows the outcome's message in an OK box captioned "Orvalin".
void ReportOutcome(base::MessageBoxes& boxes, HWND owner, ScheduleOutcome outcome);

// The dialog's OK in one call: AddSchedule, then ReportOutcome. The dialog passes its pickers'
// values, its radio index + 1 as the frequency, and TargetForProgram(RunningProgramPath()).
AddScheduleResult AddScheduleAndReport(base::MessageBoxes& boxes, HWND owner, const ScheduleRequest& request,
                                       const ScheduleTarget& target);

} // namespace scheduler
