#pragma once
// One scan as the console tool runs it: the same engine calls as the scan worker makes, registry first,
// then the shortcut files.
#include "cli/commands.h"
#include "cli/scan_report.h"
#include "engine/ignore_list.h"
#include "engine/registry_lib.h"
#include "run/scan_and_fix.h"
#include "shortcuts/shortcut.h"

#include <string>

namespace cli {

// What a scan looks at besides the registry. Scripts and tests narrow the shortcut walk; the default is
// every fixed drive, as in the window. The command begins its run first (ConsoleStop), so a stop left set
// by another process does not cancel it.
using ScanTargets = run::Plan;

// Reads one scan option at args[i] (--no-shortcuts, --drives LETTERS, --families LIST) and moves i past it.
// Returns false when args[i] is not a scan option; sets `error` when it is one but malformed.
bool ParseScanOption(const Args& args, std::size_t& i, ScanTargets& targets, std::string& error);

// run::Scan, with a progress line kept up to date on stderr while it runs (erased at the end) when
// `showProgress` is set. False when a stop cut the scan short.
bool RunScan(CRegistryLib& engine, CShortcut& links, const ScanTargets& targets, ScanErrorList& rows,
             bool showProgress);

// Says on stderr what of the ignore list its last load could not use: each damaged entry it skipped, and a
// list that could not be read whole. False in the latter case.
bool ReportIgnoreList(const engine::IgnoreList& list, const std::string& command);

// The shortcut part of a printed result.
ShortcutReport ReportShortcuts(const CShortcut& links);

// Prints a scan's result (text or JSON, which says "complete") and returns the exit code: 1, with a word
// on stderr, when the scan was cut short or the output could not be written.
int FinishScan(ScanReport& report, bool complete, bool json);

// True when stderr is an interactive console (not a file, a pipe or the null device).
bool StderrIsConsole();

} // namespace cli
