#pragma once
// What the console says after a fix besides its table: every row that left findings in place, and the
// exit code. A fix succeeds only when every finding it reached was removed.
#include "cli/scan_report.h"
#include "engine/records.h"

#include <string>
#include <vector>

namespace cli {

struct FixOutcome {
    int removed = 0; // registry entries and shortcut files
    int refused = 0;
    int found = 0;
    int notRemoved =
        0; // findings left in place on purpose (a registry link in them, a family's own key, ...)
    bool backupFailed = false;
    bool stopped = false;      // a stop ended the fix before it had reached every finding
    std::string backupFile;    // the file written, empty when none could be created
    std::string backupProblem; // why no backup file could be created, when that is known
};

FixOutcome SummarizeFix(const ScanErrorList& rows, const ShortcutReport* shortcuts, bool backupFailed,
                        const std::string& backupFile);

// The lines for stderr, one per row that refused something ("Corrupt Fonts: 4 not removed (Access
// Denied)"), then the backup's failure, then a stop; empty when there is nothing to say.
std::vector<std::string> FixProblems(const ScanErrorList& rows, const ShortcutReport* shortcuts,
                                     const FixOutcome& outcome);

// 0 when every finding was removed and the backup holds them all; 1 otherwise (also when a finding was
// left in place on purpose, or a stop ended the fix).
int FixExitCode(const FixOutcome& outcome);

} // namespace cli
