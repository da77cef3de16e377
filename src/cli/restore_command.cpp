#include "cli/cli_output.h"
#include "cli/commands.h"

namespace cli {

int RestoreCommand(const Args&) {
    PrintError("the restore command is not available in this build");
    return kExitFailure;
}

} // namespace cli
