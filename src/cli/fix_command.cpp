// orvalin-cli fix [--json] [--backup FILE] [--only ID...] [--exclude ID...] [--no-shortcuts] [--drives
// LETTERS]: scans as the scan command does, backs up every chosen finding and removes it. Nothing is removed
// that is not in the backup file first.
#include "backup/backup_name.h"
#include "backup/restore_point.h"
#include "base/elevation.h"
#include "base/message_box.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/console_stop.h"
#include "cli/fix_outcome.h"
#include "cli/rights_notes.h"
#include "cli/scan_report.h"
#include "cli/scan_run.h"
#include "engine/finding_id.h"
#include "engine/ignore_list.h"
#include "engine/registry_lib.h"
#include "run/scan_and_fix.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <optional>

namespace cli {
namespace {

struct FixOptions {
    bool json = false;
    std::string backup; // empty: the dated name in the current directory
    ScanTargets targets;
    std::vector<std::string> only;    // ids of the findings to remove; empty: every finding
    std::vector<std::string> exclude; // ids of findings to leave in place
};

// Reads the ids after --only or --exclude, up to the next option. Empty `error` when they are well formed.
void ReadIds(const Args& args, std::size_t& i, std::vector<std::string>& ids, std::string& error) {
    const std::string option = args[i];
    while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
        const std::string& id = args[++i];
        if (!engine::IsFindingId(id)) {
            error = "fix: '" + id + "' is not a finding id (16 hex digits, as scan shows them)";
            return;
        }
        ids.push_back(id);
    }
    if (ids.empty()) {
        error = "fix: " + option + " needs one or more finding ids";
    }
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 2] = {};
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return n > 0 && n < sizeof full ? std::string(full, n) : path;
}

int Fix(const FixOptions& options) {
    const ConsoleStop stop; // Ctrl+C from here on stops the run after the entry in hand
    CRegistryLib engine(engine::Win32Registry(), base::ConsoleMessageBoxes());
    CShortcut links;
    ScanErrorList rows;
    engine::IgnoreList ignore;
    ScanTargets targets = options.targets;
    targets.ignoreList = &ignore;
    // Chosen findings are registry entries: shortcuts have no ids, so a chosen fix leaves them out.
    targets.shortcuts = targets.shortcuts && options.only.empty();
    const bool scanned = RunScan(engine, links, targets, rows, StderrIsConsole());
    if (!ReportIgnoreList(ignore, "fix")) {
        // Entries the user chose to keep could be among the findings: nothing is removed.
        PrintError("fix: nothing was removed");
        return kExitFailure;
    }
    if (!scanned) {
        PrintError("fix: the scan was stopped before it finished; nothing was removed");
        return kExitFailure;
    }
    if (!options.only.empty() || !options.exclude.empty()) {
        std::vector<std::string> unknown;
        engine.m_fixSelection =
            engine::ChooseFindings(engine.m_arrErrorLog, options.only, options.exclude, unknown);
        if (!unknown.empty()) {
            for (const std::string& id : unknown) {
                PrintError("fix: no finding of this scan has the id " + id);
            }
            PrintError("fix: nothing was removed");
            return kExitFailure;
        }
    }

    if (!base::IsElevated()) { // said before anything is written
        const std::string note =
            AdministratorNote(MachineWideFindings(engine.m_arrErrorLog, engine::Win32Registry()),
                              static_cast<int>(engine.m_arrErrorLog.size()));
        if (!note.empty()) {
            PrintError(note);
        }
    }

    const bool anyFinding =
        std::any_of(rows.begin(), rows.end(), [](const auto& row) { return row->m_nFound > 0; });
    std::optional<backup::RestorePoint> restorePoint;
    if (anyFinding) { // before the first removal; the backup file stays the undo either way
        restorePoint.emplace("Orvalin registry fix");
        if (!restorePoint->Made()) {
            PrintError("fix: no restore point was made (" + restorePoint->Problem() +
                       "); the backup file is the undo");
        }
    }
    const bool complete = run::Fix(engine, links, targets, rows,
                                   options.backup.empty() ? backup::BackupFileName() : options.backup);

    ScanReport report(rows, engine.m_arrErrorLog);
    report.ignored = engine.m_nIgnored;
    report.showFixed = true;
    report.complete = complete;
    const ShortcutReport shortcuts = ReportShortcuts(links);
    if (targets.shortcuts) {
        report.shortcuts = &shortcuts;
    }
    if (!engine.m_strBackupFile.empty()) {
        report.backup = FullPath(engine.m_strBackupFile);
    }
    const bool printed = WriteStdout(options.json ? FormatReportJson(report) : FormatReportText(report));
    for (const std::string& entry : engine.m_arrNotRemoved) {
        PrintError("fix: not removed: " + entry);
    }
    FixOutcome outcome =
        SummarizeFix(rows, report.shortcuts, engine.m_bBackupFailed, report.backup.value_or(std::string()));
    outcome.notRemoved = static_cast<int>(engine.m_arrNotRemoved.size());
    outcome.backupProblem = engine.m_strBackupProblem;
    outcome.stopped = !complete;
    if (restorePoint && outcome.removed == 0) {
        // A point for a fix that removed nothing would only take the place of a later one (Windows makes at
        // most one a day for programs).
        restorePoint->Cancel();
    }
    for (const std::string& line : FixProblems(rows, report.shortcuts, outcome)) {
        PrintError(line);
    }
    if (!printed) {
        PrintError("fix: the result could not be written to the standard output");
        return kExitFailure;
    }
    return FixExitCode(outcome);
}

} // namespace

int FixCommand(const Args& args) {
    FixOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (args[i] == "--json") {
            options.json = true;
        } else if (args[i] == "--backup") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return UsageError("fix: --backup needs a file name");
            }
            options.backup = args[++i];
        } else if (args[i] == "--only" || args[i] == "--exclude") {
            ReadIds(args, i, args[i] == "--only" ? options.only : options.exclude, error);
            if (!error.empty()) {
                return UsageError(error);
            }
        } else if (ParseScanOption(args, i, options.targets, error)) {
            if (!error.empty()) {
                return UsageError("fix: " + error);
            }
        } else {
            return UsageError("fix: unknown argument '" + args[i] + "'");
        }
    }
    try {
        return Fix(options);
    } catch (const std::exception& e) {
        PrintError(std::string("fix failed: ") + e.what());
    } catch (...) {
        PrintError("fix failed");
    }
    return kExitFailure;
}

} // namespace cli
