#include "cli/cli_output.h"
#include "cli/commands.h"
#include "scheduler/add_schedule.h"
#include "scheduler/schedule_console.h"
#include "base/message_box.h"

#include <cstdio>

namespace cli {
namespace {

// The work item starts the program itself (not this console tool), which lies next to it.
std::string ProgramPath() {
    const std::string self = scheduler::RunningProgramPath();
    const size_t slash = self.find_last_of('\\');
    return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + "orvalin.exe";
}

} // namespace

int ScheduleCommand(const Args& args) {
    std::string out;
    const scheduler::ConsoleResult result = scheduler::RunScheduleConsole(
        args, scheduler::TargetForProgram(ProgramPath()), out, base::ConsoleMessageBoxes());
    std::fputs(out.c_str(), stdout);
    switch (result.status) {
    case scheduler::ConsoleStatus::Ok:
        return kExitOk;
    case scheduler::ConsoleStatus::Usage:
        return UsageError(result.error);
    case scheduler::ConsoleStatus::Failure:
        break;
    }
    if (!result.error.empty()) {
        PrintError(result.error);
    }
    return kExitFailure;
}

} // namespace cli
