#pragma once
// One scan as the console tool runs it: the same engine calls as the scan worker makes, registry first,
// then the shortcut files.
#include "cli/commands.h"
#include "cli/scan_report.h"
#include "engine/registry_lib.h"
#include "shortcuts/shortcut.h"

#include <string>

namespace cli {

// What a scan looks at besides the registry. Scripts and tests narrow the shortcut walk; the default is
// every fixed drive, as in the window.
struct ScanTargets {
    bool shortcuts = true;
    std::string drives; // drive letters for the shortcut walk; empty: every fixed drive
};

// Reads one scan option at args[i] (--no-shortcuts, --drives LETTERS) and moves i past it. Returns false
// when args[i] is not a scan option; sets `error` when it is one but malformed.
bool ParseScanOption(const Args& args, std::size_t& i, ScanTargets& targets, std::string& error);

// Runs the registry scan into `rows` (the findings stay in `engine`), then, unless a stop came or the
// targets leave them out, the shortcut scan into `links`. With `showProgress`, a progress line is kept up
// to date on stderr while it runs and erased at the end.
void RunScan(CRegistryLib& engine, CShortcut& links, const ScanTargets& targets, ScanErrorList& rows,
             bool showProgress);

// The shortcut part of a printed result.
ShortcutReport ReportShortcuts(const CShortcut& links);

// True when every registry family left its row, i.e. nothing stopped the scan.
bool ScanCompleted(const ScanErrorList& rows);

// True when stderr is an interactive console (not a file, a pipe or the null device).
bool StderrIsConsole();

} // namespace cli
