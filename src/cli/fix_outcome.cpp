#include "cli/fix_outcome.h"

#include "cli/commands.h"

namespace cli {
namespace {

std::string Entries(int count) {
    return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

} // namespace

FixOutcome SummarizeFix(const ScanErrorList& rows, const ShortcutReport* shortcuts, bool backupFailed,
                        const std::string& backupFile) {
    FixOutcome outcome;
    for (const auto& row : rows) {
        outcome.removed += row->m_nFixed;
        outcome.refused += row->m_nRefused;
        outcome.found += row->m_nFound;
    }
    if (shortcuts != nullptr) {
        outcome.removed += shortcuts->fixed;
        outcome.refused += shortcuts->refused;
        outcome.found += shortcuts->found;
    }
    outcome.backupFailed = backupFailed;
    outcome.backupFile = backupFile;
    return outcome;
}

std::vector<std::string> FixProblems(const ScanErrorList& rows, const ShortcutReport* shortcuts,
                                     const FixOutcome& outcome) {
    std::vector<std::string> lines;
    for (const auto& row : rows) {
        if (row->m_nRefused > 0) {
            lines.push_back("fix: " + row->m_strDescription + ": " + std::to_string(row->m_nRefused) +
                            " not removed (" + RefusalText(row->m_lRefusal) + ")");
        }
    }
    if (shortcuts != nullptr && shortcuts->refused > 0) {
        lines.push_back("fix: Missing ShortCuts: " + std::to_string(shortcuts->refused) +
                        " not moved to the backup folder");
    }
    const int left = outcome.found > outcome.removed ? outcome.found - outcome.removed : 0;
    if (outcome.stopped && !outcome.backupFailed) {
        // Each entry is on disk before it is removed, so the backup holds everything that is gone.
        lines.push_back("fix: stopped before it had finished; " + Entries(outcome.removed) +
                        " removed (all of them are in the backup), " + Entries(left) + " left in place");
    }
    if (!outcome.backupFailed) {
        return lines;
    }
    if (outcome.backupFile.empty()) {
        lines.push_back("fix: the backup file could not be created; nothing was removed" +
                        (outcome.backupProblem.empty() ? "" : " (" + outcome.backupProblem + ")"));
    } else if (outcome.removed == 0) {
        lines.push_back("fix: writing the backup file " + outcome.backupFile +
                        " failed; nothing was removed");
    } else {
        // Each entry is on disk before it is removed, so the backup holds everything that is gone.
        lines.push_back("fix: writing the backup file " + outcome.backupFile + " failed; " +
                        Entries(outcome.removed) + " were removed (all of them are in the backup), " +
                        Entries(left) + " were left in place");
    }
    return lines;
}

int FixExitCode(const FixOutcome& outcome) {
    return outcome.backupFailed || outcome.stopped || outcome.refused > 0 || outcome.notRemoved > 0
               ? kExitFailure
               : kExitOk;
}

} // namespace cli
