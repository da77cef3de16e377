// A fix of chosen findings: exactly those are removed, and the backup holds exactly what was removed.
#include "backup/backup_test_support.h"
#include "support/file_bytes.h"
#include "support/memory_registry.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace {

constexpr char kFonts[] = "HKEY_LOCAL_MACHINE\\Fonts";
constexpr char kTool[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\T";

TEST(SelectionFix, RemovesAndBacksUpExactlyTheChosenFindings) {
    // Findings 0-3: font values f0..f3; finding 4: the shared tool key.
    const std::vector<std::vector<bool>> selections = {
        {}, // empty: every finding
        {true, false, true, false, true},
        {false, false, false, false, false},
        {false, true, false, false}, // shorter than the list: the rest are not chosen
    };
    const std::string folder = testsupport::MakeTempFolder("selection");
    int run = 0;
    for (const auto& selection : selections) {
        testsupport::MemoryRegistry registry;
        backuptest::RecordingBoxes boxes;
        CRegistryLib engine(registry, boxes);
        engine.m_bJudgeAgain = false; // the findings are made by hand
        for (int i = 0; i < 4; ++i) {
            registry.SetString(kFonts, "f" + std::to_string(i), "gone.ttf");
            backuptest::AddValueFinding(engine, "font", kFonts, "f" + std::to_string(i), "gone.ttf");
        }
        registry.SetString(kTool, "path", "C:\\gone.exe");
        backuptest::AddKeyFinding(engine, "SharedTools", kTool);
        engine.m_fixSelection = selection;
        ScanErrorList rows = backuptest::FiveRows();
        const std::string backup = folder + "\\selection" + std::to_string(++run) + ".xml";
        engine.FixRegistry(rows, backup);

        const std::string bytes = testsupport::ReadBytes(backup);
        int removed = 0;
        for (std::size_t i = 0; i < 5; ++i) {
            const bool chosen = selection.empty() || (i < selection.size() && selection[i]);
            removed += chosen ? 1 : 0;
            const bool present = i < 4 ? registry.GetValue(kFonts, "f" + std::to_string(i)).has_value()
                                       : registry.KeyExists(kTool);
            const std::string saved = i < 4 ? "<v name=\"f" + std::to_string(i) + "\"" : "<v name=\"path\"";
            EXPECT_EQ(present, !chosen) << "run " << run << " finding " << i;
            EXPECT_EQ(bytes.find(saved) != std::string::npos, chosen) << "run " << run << " finding " << i;
        }
        EXPECT_EQ(backuptest::FixedOf(rows, kDescriptionFonts) +
                      backuptest::FixedOf(rows, kDescriptionSharedTools),
                  removed);
        DeleteFileA(backup.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace
