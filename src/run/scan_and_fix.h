#pragma once
// One scan-and-fix run as the window's worker and the console tool both make it: the registry families in
// their fixed order, then the shortcut files; the registry fix, then the shortcut fix, which may only follow
// a backup written whole and no stop. Callers present the results; the order and the stop rules live here.
#include "engine/records.h"

#include <functional>
#include <string>

class CRegistryLib;
class CShortcut;
namespace engine {
class IgnoreList;
}

namespace run {

// What a run covers besides the registry, and how it treats a stop already set when it starts.
struct Plan {
    bool shortcuts = true;
    std::string drives;   // drive letters for the shortcut walk; empty: every fixed drive
    std::string families; // the registry families to scan, as ParseFamilyList reads them; empty: all
    // The window keeps a stop asked for before its worker began (the dialog was closed at once). The
    // console tool starts afresh: the registry scan resets a stop left set by another process.
    bool pendingStopCancels = false;
    // When set, the scan reads the user's ignore list into it and passes over the entries it holds.
    engine::IgnoreList* ignoreList = nullptr;
};

// True when every selected registry family left its summary row, i.e. nothing stopped the scan.
bool ScanCompleted(const CRegistryLib& engine, const ScanErrorList& rows);

// Empties `rows`, then, unless a pending stop cancels the run, scans the registry families into `rows`
// (their findings stay in `engine`) and, when every family ran and the plan includes them, the shortcut
// files. Returns ScanCompleted(engine, rows).
bool Scan(CRegistryLib& engine, CShortcut& links, const Plan& plan, ScanErrorList& rows);

enum class FixStage { Registry, Shortcuts };

// Backs up and removes every finding of the last scan, the backup going to `backupFile` or the first free
// name beside it (engine.m_strBackupFile). Then, only when that backup was written whole and no stop came,
// moves the listed shortcuts into the folder beside it. `stage`, when given, hears when each part begins.
// Returns false when nothing was done because a pending stop cancels the run.
bool Fix(CRegistryLib& engine, CShortcut& links, const Plan& plan, ScanErrorList& rows,
         const std::string& backupFile, const std::function<void(FixStage)>& stage = {});

} // namespace run
