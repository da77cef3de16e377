#include "cli/cli_output.h"
#include "cli/commands.h"

namespace cli {

int ScheduleCommand(const Args&) {
    PrintError("the schedule command is not available in this build");
    return kExitFailure;
}

} // namespace cli
