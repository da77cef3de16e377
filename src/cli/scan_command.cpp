#include "cli/cli_output.h"
#include "cli/commands.h"

namespace cli {

int ScanCommand(const Args&) {
    PrintError("the scan command is not available in this build");
    return kExitFailure;
}

} // namespace cli
