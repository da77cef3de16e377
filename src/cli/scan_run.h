#pragma once
// One scan as the console tool runs it: the same engine calls as the scan worker makes.
#include "engine/registry_lib.h"

namespace cli {

// Runs the registry scan into `rows` (the findings stay in `engine`). With `showProgress`, a progress
// line is kept up to date on stderr while it runs and erased at the end.
void RunScan(CRegistryLib& engine, ScanErrorList& rows, bool showProgress);

// True when every registry family left its row, i.e. nothing stopped the scan.
bool ScanCompleted(const ScanErrorList& rows);

// True when stderr is an interactive console (not a file, a pipe or the null device).
bool StderrIsConsole();

} // namespace cli
