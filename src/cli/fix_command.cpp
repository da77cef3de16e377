#include "cli/cli_output.h"
#include "cli/commands.h"

namespace cli {

int FixCommand(const Args&) {
    PrintError("the fix command is not available in this build");
    return kExitFailure;
}

} // namespace cli
