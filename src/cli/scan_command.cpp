// orvalin-cli scan [--json] [--stats] [--no-shortcuts] [--drives LETTERS]: scans the registry of this machine
// (or Wine prefix), changes nothing.
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/scan_report.h"
#include "cli/scan_run.h"
#include "run/scan_and_fix.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <exception>

namespace cli {
namespace {

struct ScanOptions {
    bool json = false;
    bool stats = false; // time and peak memory on stderr, for the benchmark
    ScanTargets targets;
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PrintStats(double seconds, const CRegistryLib& engine) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::fprintf(stderr,
                 "scan-stats: seconds=%.3f findings=%zu peak_working_set_kib=%zu peak_pagefile_kib=%zu\n",
                 seconds, engine.m_arrErrorLog.size(), memory.PeakWorkingSetSize / 1024,
                 memory.PeakPagefileUsage / 1024);
}

int Scan(const ScanOptions& options) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);

    CRegistryLib engine;
    CShortcut links;
    ScanErrorList rows;
    engine::IgnoreList ignore;
    ScanTargets targets = options.targets;
    targets.ignoreList = &ignore;
    RunScan(engine, links, targets, rows, StderrIsConsole());
    // A list read only in part shows more, never less: the scan goes on and says so.
    ReportIgnoreList(ignore, "scan");

    ScanReport report(rows, engine.m_arrErrorLog);
    report.ignored = engine.m_nIgnored;
    const ShortcutReport shortcuts = ReportShortcuts(links);
    if (options.targets.shortcuts) {
        report.shortcuts = &shortcuts;
    }
    if (!WriteStdout(options.json ? FormatReportJson(report) : FormatReportText(report))) {
        PrintError("scan: the result could not be written to the standard output");
        return kExitFailure;
    }
    if (options.stats) {
        LARGE_INTEGER end;
        QueryPerformanceCounter(&end);
        PrintStats(Seconds(start, end), engine);
    }
    if (!run::ScanCompleted(engine, rows)) {
        PrintError("scan: the scan was stopped before every family had run; the result is incomplete");
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

int ScanCommand(const Args& args) {
    ScanOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (args[i] == "--json") {
            options.json = true;
        } else if (args[i] == "--stats") {
            options.stats = true;
        } else if (ParseScanOption(args, i, options.targets, error)) {
            if (!error.empty()) {
                return UsageError("scan: " + error);
            }
        } else {
            return UsageError("scan: unknown argument '" + args[i] + "'");
        }
    }
    try {
        return Scan(options);
    } catch (const std::exception& e) {
        PrintError(std::string("scan failed: ") + e.what());
    } catch (...) {
        PrintError("scan failed");
    }
    return kExitFailure;
}

} // namespace cli
