#pragma once
// The console tool's "schedule" command on a given work item:
//   list                                           one line per schedule: "N<TAB>description<TAB>last run"
//   add YYYY-MM-DD HH:MM once|daily|weekly|monthly  the Add Schedule dialog's OK, message included
//   delete N                                       deletes schedule N as listed
#include "scheduler/add_schedule.h"
#include "base/message_box.h"

#include <string>
#include <vector>

namespace scheduler {

enum class ConsoleStatus { Ok, Failure, Usage };

struct ConsoleResult {
    ConsoleStatus status = ConsoleStatus::Ok;
    std::string error; // one line for stderr, or empty when a message has told it already
};

// Runs the command; the list goes to `out`, the dialog's messages to `boxes`.
ConsoleResult RunScheduleConsole(const std::vector<std::string>& args, const ScheduleTarget& target,
                                 std::string& out, base::MessageBoxes& boxes);

// Parsers of the command's arguments; false for anything malformed or impossible (2027-02-30, 24:00).
bool ParseScheduleDate(const std::string& text, SYSTEMTIME& date);
bool ParseScheduleTime(const std::string& text, SYSTEMTIME& time);
bool ParseScheduleFrequency(const std::string& text, int& frequency);

} // namespace scheduler
