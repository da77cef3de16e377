// The run's stop rules on the in-memory registry: which run a stop belongs to, where a stopped fix ends, and
// when the shortcuts may follow the registry fix.
#include "engine/registry_lib.h"
#include "run/scan_and_fix.h"
#include "shortcuts/shortcut.h"
#include "shortcuts/shortcut_test_support.h"
#include "support/file_bytes.h"
#include "support/memory_registry.h"
#include "support/recording_boxes.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace {

// Class keys whose server is gone: "...{0000000N-...}" for N from 1.
std::string ClassKey(int n) {
    return "HKEY_CLASSES_ROOT\\CLSID\\{0000000" + std::to_string(n) + "-0000-0000-0000-000000000000}";
}

// `classes` registry findings (classes whose server is gone) in the engine, and a listed shortcut file.
struct Findings {
    explicit Findings(int classes = 1) : engine(registry, boxes), count(classes) {
        BeginRun();
        for (int n = 1; n <= classes; ++n) {
            registry.SetString(ClassKey(n) + "\\InprocServer32", "", "C:\\orvalin-missing\\gone.dll");
        }
        folder = testsupport::MakeTempFolder("run");
        shortcut = folder + "\\gone.lnk";
        // A real shortcut whose target is gone: the fix judges it again before moving it.
        shortcut_test::WriteBytes(shortcut, shortcut_test::LinkFileWithLocalPath(folder + "\\gone.exe"));
    }
    ~Findings() { BeginRun(); }

    // The classes gone from the registry, and those named in the backup file.
    int Removed() const {
        int removed = 0;
        for (int n = 1; n <= count; ++n) {
            removed += registry.KeyExists(ClassKey(n)) ? 0 : 1;
        }
        return removed;
    }
    int InBackup() const {
        const std::string text = testsupport::ReadBytes(engine.m_strBackupFile);
        int listed = 0;
        for (int n = 1; n <= count; ++n) {
            const std::string key = ClassKey(n);
            listed += text.find(key.substr(key.rfind('\\') + 1)) != std::string::npos ? 1 : 0;
        }
        return listed;
    }

    testsupport::MemoryRegistry registry;
    testsupport::RecordingBoxes boxes;
    CRegistryLib engine;
    CShortcut links;
    ScanErrorList rows;
    int count;
    std::string folder;
    std::string shortcut;
};

struct FixCase {
    const char* name;
    bool stopBeforeBegin; // a stop asked before the fix's run began
    bool stopBefore;      // a stop asked after it began, before the first entry
    bool writableBackup;  // the backup's folder exists
    bool stopDuringFix;   // the registry fix's progress asks for a stop
    bool completes;
    bool registryFixed;
    bool shortcutMoved;
};

TEST(RunFix, ShortcutsFollowOnlyAWholeBackupAndNoStop) {
    const FixCase cases[] = {
        {"both fixed", false, false, true, false, true, true, true},
        {"no backup file: nothing removed", false, false, false, false, true, false, false},
        {"a stop during the registry fix keeps the shortcuts", false, false, true, true, false, true, false},
        {"a stop before the first entry removes nothing", false, true, true, false, false, false, false},
        {"a stop asked for an earlier run stops nothing", true, false, true, false, true, true, true},
    };
    for (const FixCase& c : cases) {
        Findings t;
        run::Plan scanOnly;
        scanOnly.shortcuts = false;
        ASSERT_TRUE(run::Scan(t.engine, t.links, scanOnly, t.rows)) << c.name;
        t.links.m_arrMissingLinks = {t.shortcut};
        if (c.stopBeforeBegin) {
            RequestStop();
        }
        BeginRun();
        if (c.stopBefore) {
            RequestStop();
        }
        if (c.stopDuringFix) {
            t.engine.m_pfnProgress = [](std::string, std::string, int, int) { RequestStop(); };
        }
        const std::string backup = t.folder + (c.writableBackup ? "" : "\\missing") + "\\FixedOnTest.xml";

        EXPECT_EQ(run::Fix(t.engine, t.links, run::Plan{}, t.rows, backup), c.completes) << c.name;
        EXPECT_EQ(t.Removed() == 1, c.registryFixed) << c.name;
        EXPECT_EQ(t.links.m_nLinksFixed, c.shortcutMoved ? 1 : 0) << c.name;
        EXPECT_EQ(testsupport::FileExists(t.shortcut), !c.shortcutMoved) << c.name;
    }
}

// A stop after N entries: exactly those N are gone, in the backup and counted; the rest stay untouched.
TEST(RunFix, AStopEndsTheFixAfterTheEntryInHand) {
    for (const int stopAfter : {1, 3}) {
        Findings t(5);
        run::Plan plan;
        plan.shortcuts = false;
        ASSERT_TRUE(run::Scan(t.engine, t.links, plan, t.rows));
        ASSERT_EQ(t.engine.m_arrErrorLog.size(), 5u);
        static int entries;
        static int limit;
        entries = 0;
        limit = stopAfter;
        t.engine.m_pfnProgress = [](std::string, std::string, int, int) {
            if (++entries == limit) {
                RequestStop();
            }
        };
        EXPECT_FALSE(run::Fix(t.engine, t.links, plan, t.rows, t.folder + "\\FixedOnTest.xml"));
        EXPECT_TRUE(t.engine.m_bFixStopped);
        EXPECT_FALSE(t.engine.m_bBackupFailed);
        EXPECT_EQ(t.Removed(), stopAfter);
        EXPECT_EQ(t.InBackup(), stopAfter);
        int fixed = 0;
        for (const auto& row : t.rows) {
            fixed += row->m_nFixed;
        }
        EXPECT_EQ(fixed, stopAfter);
        BeginRun();
    }
}

} // namespace
