#pragma once
// The console tool's commands. Each takes the arguments after the command name and returns the
// process exit code: 0 success, 1 failure (message on stderr), 2 usage error (one-line message).
#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int ScanCommand(const Args& args);     // scan [--json]
int FixCommand(const Args& args);      // fix [--json] [--backup FILE] [--only ID...] [--exclude ID...]
int RestoreCommand(const Args& args);  // restore FILE [--overwrite]
int ScheduleCommand(const Args& args); // schedule list | add YYYY-MM-DD HH:MM FREQ | delete N
int ExportCommand(const Args& args);   // export BACKUP.xml [OUT.reg]
int IgnoreCommand(const Args& args);   // ignore list | add ID... | remove ID...

} // namespace cli
