// The scan run: the families in their order, the lists it empties, the stop event it resets.
#include "engine_test_support.h"
#include "support/family_rows.h"

namespace {

using enginetest::ProgressLog;

class ScanRunTest : public enginetest::MemoryEngineTest {
protected:
    void SetUp() override {
        MemoryEngineTest::SetUp();
        for (int i = 0; i < 4; ++i) {
            const std::string cls =
                "HKEY_CLASSES_ROOT\\CLSID\\{0000000" + std::to_string(i) + "-0000-0000-0000-000000000000}";
            registry.SetString(cls + "\\InprocServer32", "", i == 1 ? missing : present);
        }
        registry.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help", "x.hlp", folder + "\\");
        registry.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\Tool", "Path", missing);
        registry.SetDword("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                          missing, 1);
        registry.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "F",
                           "orvalin-missing.ttf");
    }

    static std::vector<std::string> Descriptions(const ScanErrorList& rows) {
        std::vector<std::string> out;
        for (const auto& row : rows) {
            out.push_back(row->m_strDescription);
        }
        return out;
    }
};

TEST_F(ScanRunTest, FamiliesRunInTheirFixedOrder) {
    ScanErrorList rows;
    rows.push_back(std::make_unique<CScanError>()); // left over from an earlier run
    lib.m_arrErrorLog.push_back(std::make_unique<CRegErrorLog>());
    lib.ScanRegistry(rows);
    const std::vector<std::string>& expected = testsupport::kRegistryRowNames;
    EXPECT_EQ(Descriptions(rows), expected);
    const std::vector<std::pair<int, int>> counts = {{4, 1}, {2, 1}, {2, 1}, {2, 1}, {2, 1}, {0, 0},
                                                     {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i]->m_nScanned, counts[i].first) << rows[i]->m_strDescription;
        EXPECT_EQ(rows[i]->m_nFound, counts[i].second) << rows[i]->m_strDescription;
        EXPECT_EQ(rows[i]->m_nFixed, 0);
    }
    // Findings in scan order: class, help, tool, shared file, font.
    std::vector<std::string> categories;
    for (const auto& f : lib.m_arrErrorLog) {
        categories.push_back(f->GetCategory());
    }
    EXPECT_EQ(categories, (std::vector<std::string>{"CLSID", "Help", "SharedTools", "SharedFile", "font"}));
}

// A stop belongs to the run it was asked for: one asked before the run began (here, or left on the named
// event by another process) stops nothing; one asked between the start and the first key is kept.
TEST_F(ScanRunTest, AStopStopsOnlyTheRunItWasAskedFor) {
    const struct {
        const char* name;
        bool beforeBegin;
        bool named;
        size_t rows;
    } cases[] = {
        {"asked here before the run", true, false, kRegistryFamilyCount},
        {"left on the named event before the run", true, true, kRegistryFamilyCount},
        {"asked here before the first key", false, false, 0},
        {"set on the named event before the first key", false, true, 0},
    };
    for (const auto& c : cases) {
        if (!c.beforeBegin) {
            BeginRun();
        }
        c.named ? static_cast<void>(SetEvent(StopEvent())) : RequestStop();
        if (c.beforeBegin) {
            BeginRun();
        }
        ScanErrorList rows;
        lib.ScanRegistry(rows);
        EXPECT_EQ(rows.size(), c.rows) << c.name;
        EXPECT_EQ(StopRequested(), c.rows == 0) << c.name;
        BeginRun();
    }
}

TEST_F(ScanRunTest, StopDuringTheClassScanEndsTheRunAfterItsRow) {
    ProgressLog::stopAtCall = 2;
    ScanErrorList rows;
    lib.ScanRegistry(rows);
    ASSERT_EQ(Descriptions(rows), std::vector<std::string>{"Invalid CLSID"});
    EXPECT_EQ(rows[0]->m_nScanned, 2);
    EXPECT_EQ(rows[0]->m_nFound, 0); // the class being examined at the stop is not judged
    EXPECT_TRUE(lib.m_arrErrorLog.empty());
    EXPECT_TRUE(StopRequested());
    EXPECT_EQ(ProgressLog::calls.size(), 2u);
}

TEST_F(ScanRunTest, StopDuringALaterFamilyKeepsTheRowsBeforeIt) {
    ProgressLog::stopAtCall = 6; // 4 class callbacks, then the help file, then the shared tool
    ScanErrorList rows;
    lib.ScanRegistry(rows);
    EXPECT_EQ(Descriptions(rows),
              (std::vector<std::string>{"Invalid CLSID", "Corrupt Help Files", "Invalid Shared Tools"}));
    EXPECT_EQ(rows[2]->m_nFound, 1);
    EXPECT_EQ(lib.m_arrErrorLog.size(), 3u);
}

} // namespace
