#include "run/scan_and_fix.h"

#include "engine/ignore_list.h"
#include "engine/registry_lib.h"
#include "shortcuts/shortcut.h"

namespace run {
bool ScanCompleted(const CRegistryLib& engine, const ScanErrorList& rows) {
    return rows.size() == engine.SelectedFamilyCount();
}

bool Scan(CRegistryLib& engine, CShortcut& links, const Plan& plan, ScanErrorList& rows) {
    rows.clear();
    if (StopRequested()) {
        return false;
    }
    engine.m_fixSelection.clear(); // a new scan's findings are all chosen until told otherwise
    if (plan.ignoreList != nullptr) {
        plan.ignoreList->Load(engine.Registry());
        engine.m_pIgnoreList = plan.ignoreList;
    }
    std::string unknown;
    engine.SelectFamilies(plan.families, &unknown); // the console tool checked the names already
    engine.ScanRegistry(rows);
    if (!ScanCompleted(engine, rows)) {
        return false; // a stopped scan goes no further
    }
    if (plan.shortcuts) {
        links.LimitToDrives(plan.drives);
        links.ScanLinkFile(); // tests the stop itself
        if (links.m_bStopped) {
            return false; // the counts are those of part of the walk
        }
    }
    return true;
}

bool Fix(CRegistryLib& engine, CShortcut& links, const Plan& plan, ScanErrorList& rows,
         const std::string& backupFile, const std::function<void(FixStage)>& stage) {
    if (stage) {
        stage(FixStage::Registry);
    }
    engine.FixRegistry(rows, backupFile); // tests the stop between entries
    if (engine.m_bFixStopped) {
        return false;
    }
    // The shortcuts go into the folder beside the backup file actually written, so a fix whose backup
    // failed removes nothing more, shortcuts included.
    if (!plan.shortcuts || engine.m_bBackupFailed || engine.m_strBackupFile.empty()) {
        return true;
    }
    if (StopRequested()) {
        return false;
    }
    if (stage) {
        stage(FixStage::Shortcuts);
    }
    links.FixLinkFile(engine.m_strBackupFile);
    return !links.m_bStopped;
}

} // namespace run
