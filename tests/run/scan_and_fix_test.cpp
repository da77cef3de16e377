// The run's stop rules on the in-memory registry: what a stop set before the run cancels, and when the
// shortcuts may follow the registry fix.
#include "engine/registry_lib.h"
#include "run/scan_and_fix.h"
#include "shortcuts/shortcut.h"
#include "support/file_bytes.h"
#include "shortcuts/shortcut_test_support.h"
#include "support/memory_registry.h"
#include "support/recording_boxes.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace {

constexpr char kClass[] = "HKEY_CLASSES_ROOT\\CLSID\\{00000001-0000-0000-0000-000000000000}";

// One registry finding (a class whose server is gone) in the engine, and a listed shortcut file.
struct OneFinding {
    OneFinding() : engine(registry, boxes) {
        ResetEvent(StopEvent());
        registry.SetString(std::string(kClass) + "\\InprocServer32", "", "C:\\orvalin-missing\\gone.dll");
        folder = testsupport::MakeTempFolder("run");
        shortcut = folder + "\\gone.lnk";
        // A real shortcut whose target is gone: the fix judges it again before moving it.
        shortcut_test::WriteBytes(shortcut, shortcut_test::LinkFileWithLocalPath(folder + "\\gone.exe"));
    }
    ~OneFinding() { ResetEvent(StopEvent()); }

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
        OneFinding t;
        RequestStop();
        run::Plan plan;
        plan.shortcuts = false;
        plan.pendingStopCancels = cancels;
        EXPECT_EQ(run::Scan(t.engine, t.links, plan, t.rows), !cancels) << cancels;
        EXPECT_EQ(t.engine.m_arrErrorLog.size(), cancels ? 0u : 1u) << cancels;
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
        OneFinding t;
        run::Plan scanOnly;
        scanOnly.shortcuts = false;
        ASSERT_TRUE(run::Scan(t.engine, t.links, scanOnly, t.rows)) << c.name;
        t.links.m_arrMissingLinks = {t.shortcut};
        if (c.stopBefore) {
            RequestStop();
        }
        if (c.stopDuringFix) {
            t.engine.m_pfnProgress = [](std::string, std::string, int, int) { RequestStop(); };
        }
        run::Plan plan;
        plan.pendingStopCancels = c.cancels;
        const std::string backup = t.folder + (c.writableBackup ? "" : "\\missing") + "\\FixedOnTest.xml";

        EXPECT_EQ(run::Fix(t.engine, t.links, plan, t.rows, backup), !(c.stopBefore && c.cancels)) << c.name;
        EXPECT_EQ(!t.registry.KeyExists(kClass), c.registryFixed) << c.name;
        EXPECT_EQ(t.links.m_nLinksFixed, c.shortcutMoved ? 1 : 0) << c.name;
        EXPECT_EQ(testsupport::FileExists(t.shortcut), !c.shortcutMoved) << c.name;
    }
}

} // namespace
