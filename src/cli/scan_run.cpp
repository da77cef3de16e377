#include "cli/scan_run.h"

#include "cli/cli_output.h"

#include <cstdio>

namespace cli {
namespace {

// The progress callback is a plain function, so it keeps no state: it redraws the line only for every
// 64th item (and the first of each family), which keeps the console from slowing the scan down.
void PrintProgress(std::string /*item*/, std::string status, int scanned, int found) {
    if (scanned % 64 != 1) {
        return;
    }
    std::fprintf(stderr, "\r%-24s %9d scanned %7d found ", status.c_str(), scanned, found);
    std::fflush(stderr);
}

void EraseProgress() {
    std::fprintf(stderr, "\r%60s\r", "");
    std::fflush(stderr);
}

// Installs the console progress line for the length of one scan, even when the scan throws.
class ProgressLine {
public:
    ProgressLine(CRegistryLib& engine, CShortcut& links, bool show)
        : m_engine(engine), m_links(links), m_previousEngine(engine.m_pfnProgress),
          m_previousLinks(links.m_pfnProgress), m_show(show) {
        if (m_show) {
            m_engine.m_pfnProgress = PrintProgress;
            m_links.m_pfnProgress = PrintProgress;
        }
    }
    ~ProgressLine() {
        m_engine.m_pfnProgress = m_previousEngine;
        m_links.m_pfnProgress = m_previousLinks;
        if (m_show) {
            EraseProgress();
        }
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

private:
    CRegistryLib& m_engine;
    CShortcut& m_links;
    const ScanProgressProc m_previousEngine;
    const ScanProgressProc m_previousLinks;
    const bool m_show;
};

std::string FamilyNames() {
    std::string names;
    for (std::size_t i = 0; i < kRegistryFamilyCount; ++i) {
        names += std::string(kRegistryFamilies[i].name) + ", ";
    }
    return names + kShortcutsFamily;
}

} // namespace

bool ParseScanOption(const Args& args, std::size_t& i, ScanTargets& targets, std::string& error) {
    if (args[i] == "--no-shortcuts") {
        targets.shortcuts = false;
        return true;
    }
    if (args[i] == "--families") {
        std::vector<bool> selected;
        bool shortcuts = false;
        std::string unknown;
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = "--families needs a list of families, for example --families clsid,startup";
        } else if (!ParseFamilyList(args[i + 1], &selected, &shortcuts, &unknown)) {
            error = "--families: unknown family '" + unknown + "'; the families are " + FamilyNames();
        } else {
            targets.families = args[++i];
            targets.shortcuts = targets.shortcuts && shortcuts;
        }
        return true;
    }
    if (args[i] != "--drives") {
        return false;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = "--drives needs drive letters, for example --drives CD";
        return true;
    }
    for (const char c : args[i + 1]) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
            error = "--drives takes drive letters only, for example --drives CD";
            return true;
        }
    }
    targets.drives = args[++i];
    return true;
}

bool RunScan(CRegistryLib& engine, CShortcut& links, const ScanTargets& targets, ScanErrorList& rows,
             bool showProgress) {
    const ProgressLine progress(engine, links, showProgress);
    return run::Scan(engine, links, targets, rows);
}

int FinishScan(ScanReport& report, bool complete, bool json) {
    report.complete = complete;
    if (!WriteStdout(json ? FormatReportJson(report) : FormatReportText(report))) {
        PrintError("scan: the result could not be written to the standard output");
        return kExitFailure;
    }
    if (!complete) {
        PrintError("scan: the scan was stopped before it finished; the result is incomplete");
        return kExitFailure;
    }
    return kExitOk;
}

bool ReportIgnoreList(const engine::IgnoreList& list, const std::string& command) {
    for (const std::string& damaged : list.Damaged()) {
        PrintError(command + ": ignore list: skipped a damaged entry, " + damaged);
    }
    if (list.LoadError() != ERROR_SUCCESS) {
        PrintError(command + ": the ignore list could not be read whole (error " +
                   std::to_string(list.LoadError()) + ")");
        return false;
    }
    return true;
}

ShortcutReport ReportShortcuts(const CShortcut& links) {
    ShortcutReport report;
    report.scanned = links.m_nLinksScanned;
    report.found = links.m_nLinksFound;
    report.fixed = links.m_nLinksFixed;
    report.refused = links.m_nLinksRefused;
    report.noLongerBroken = links.m_nLinksNoLongerBroken;
    report.missing = links.m_arrMissingLinks;
    return report;
}

bool StderrIsConsole() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

} // namespace cli
