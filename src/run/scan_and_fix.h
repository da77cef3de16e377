#pragma once
// One scan-and-fix run as the window's worker and the console tool both make it: the registry families in
// their fixed order, then the shortcut files; the registry fix, then the shortcut fix, which may only follow
// a backup written whole and no stop. Callers present the results; the order and the stop rules live here.
//
// The caller begins the run (BeginRun) before it starts the worker that calls these, so a stop asked for in
// between is kept, and a stop asked for before it reaches no run here.
#include "engine/records.h"

#include <functional>
#include <string>

class CRegistryLib;
class CShortcut;
namespace engine {
class IgnoreList;
}

namespace run {

// What a run covers besides the registry.
struct Plan {
    bool shortcuts = true;
    std::string drives;   // drive letters for the shortcut walk; empty: every fixed drive
    std::string families; // the registry families to scan, as ParseFamilyList reads them; empty: all
    // When set, the scan reads the user's ignore list into it and passes over the entries it holds.
    engine::IgnoreList* ignoreList = nullptr;
};

// True when every selected registry family left its summary row, i.e. nothing stopped the registry scan.
bool ScanCompleted(const CRegistryLib& engine, const ScanErrorList& rows);

// Empties `rows`, then scans the selected registry families into `rows` (their findings stay in `engine`)
// and, when every family ran and the plan includes them, the shortcut files. True when nothing was cut
// short by a stop: every family and the whole shortcut walk ran.
bool Scan(CRegistryLib& engine, CShortcut& links, const Plan& plan, ScanErrorList& rows);

enum class FixStage { Registry, Shortcuts };

// Backs up and removes every finding of the last scan, the backup going to `backupFile` or the first free
// name beside it (engine.m_strBackupFile). Then, only when that backup was written whole and no stop came,
// moves the listed shortcuts into the folder beside it. `stage`, when given, hears when each part begins.
// A stop ends the fix after the entry (or file) in hand; everything removed is in the backup and counted in
// the rows. Returns false when a stop cut the fix short (before it began included).
bool Fix(CRegistryLib& engine, CShortcut& links, const Plan& plan, ScanErrorList& rows,
         const std::string& backupFile, const std::function<void(FixStage)>& stage = {});

} // namespace run
