// The run's stop rules on the in-memory registry: what a stop set before the run cancels, and when the
// shortcuts may follow the registry fix.
#include "engine/registry_lib.h"
#include "run/scan_and_fix.h"
#include "shortcuts/shortcut.h"
#include "shortcuts/shortcut_test_support.h"
#include "support/memory_registry.h"
#include "support/recording_boxes.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

constexpr char kClass[] = "HKEY_CLASSES_ROOT\\CLSID\\{00000001-0000-0000-0000-000000000000}";

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// One registry finding (a class whose server is gone) in the engine, and a listed shortcut file.
struct Run {
    Run() : engine(registry, boxes) {
        ResetEvent(StopEvent());
        registry.SetString(std::string(kClass) + "\\InprocServer32", "", "C:\\orvalin-missing\\gone.dll");
        folder = testsupport::MakeTempFolder("run");
        shortcut = folder + "\\gone.lnk";
        // A real shortcut whose target is gone: the fix judges it again before moving it.
        shortcut_test::WriteBytes(shortcut, shortcut_test::LinkFileWithLocalPath(folder + "\\gone.exe"));
    }
    ~Run() { ResetEvent(StopEvent()); }

    testsupport::MemoryRegistry registry;
    testsupport::RecordingBoxes boxes;
    CRegistryLib engine;
    CShortcut links;
    ScanErrorList rows;
    std::string folder;
    std::string shortcut;
};

TEST(RunScan, AStopSetBeforehandCancelsOnlyTheWindowsRun) {
    for (const bool cancels : {true, false}) {
        ::Run run;
        RequestStop();
        run::Plan plan;
        plan.shortcuts = false;
        plan.pendingStopCancels = cancels;
        EXPECT_EQ(run::Scan(run.engine, run.links, plan, run.rows), !cancels) << cancels;
        EXPECT_EQ(run.engine.m_arrErrorLog.size(), cancels ? 0u : 1u) << cancels;
    }
}

struct FixCase {
    const char* name;
    bool stopBefore;     // a stop set between the scan and the fix
    bool cancels;        // the plan's pendingStopCancels
    bool writableBackup; // the backup's folder exists
    bool stopDuringFix;  // the registry fix's progress asks for a stop
    bool registryFixed;
    bool shortcutMoved;
};

TEST(RunFix, ShortcutsFollowOnlyAWholeBackupAndNoStop) {
    const FixCase cases[] = {
        {"both fixed", false, false, true, false, true, true},
        {"no backup file: nothing removed", false, false, false, false, false, false},
        {"a stop during the registry fix keeps the shortcuts", false, false, true, true, true, false},
        {"the window's run is cancelled by a pending stop", true, true, true, false, false, false},
        {"the console's run fixes the registry, then honours the stop", true, false, true, false, true,
         false},
    };
    for (const FixCase& c : cases) {
        ::Run run;
        run::Plan scanOnly;
        scanOnly.shortcuts = false;
        ASSERT_TRUE(run::Scan(run.engine, run.links, scanOnly, run.rows)) << c.name;
        run.links.m_arrMissingLinks = {run.shortcut};
        if (c.stopBefore) {
            RequestStop();
        }
        if (c.stopDuringFix) {
            run.engine.m_pfnProgress = [](std::string, std::string, int, int) { RequestStop(); };
        }
        run::Plan plan;
        plan.pendingStopCancels = c.cancels;
        const std::string backup = run.folder + (c.writableBackup ? "" : "\\missing") + "\\FixedOnTest.xml";

        EXPECT_EQ(run::Fix(run.engine, run.links, plan, run.rows, backup), !(c.stopBefore && c.cancels))
            << c.name;
        EXPECT_EQ(!run.registry.KeyExists(kClass), c.registryFixed) << c.name;
        EXPECT_EQ(run.links.m_nLinksFixed, c.shortcutMoved ? 1 : 0) << c.name;
        EXPECT_EQ(FileExists(run.shortcut), !c.shortcutMoved) << c.name;
    }
}

} // namespace
