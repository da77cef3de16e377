#pragma once
// What the console tool says about its rights before it scans or writes: findings only an administrator
// can remove, and an elevated run under another account than the one logged on.
#include <string>

#include "engine/records.h"
#include "engine/registry_api.h"

namespace cli {

// Findings only an administrator can remove: those under HKEY_LOCAL_MACHINE, and those under
// HKEY_CLASSES_ROOT that are the machine's classes (no copy of the user's own under
// HKEY_CURRENT_USER\Software\Classes, which would be the one removed).
int MachineWideFindings(const RegErrorLogList& findings, engine::RegistryApi& registry);

// The line a fix without administrator rights prints before it writes anything; empty when none of the
// findings needs an administrator.
std::string AdministratorNote(int machineWide, int total);

// The line printed before a scan when the process runs as `process` but `session` is logged on; empty when
// they are the same account or either is unknown.
std::string OtherAccountNote(const std::string& process, const std::string& session);

} // namespace cli
