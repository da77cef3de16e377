// What the console says and returns after a fix, from the rows a fix on the in-memory registry leaves.
#include "cli/commands.h"
#include "cli/fix_outcome.h"
#include "engine/registry_lib.h"
#include "support/memory_registry.h"
#include "support/recording_boxes.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

using testsupport::MemoryRegistry;

namespace {

constexpr char kFonts[] = "HKEY_LOCAL_MACHINE\\Fonts";

// Five font findings; the first `refused` deletions are refused (access denied), then the fix runs.
ScanErrorList FixFonts(MemoryRegistry& registry, CRegistryLib& engine, int refused,
                       const std::string& backup) {
    ScanErrorList rows;
    auto row = std::make_unique<CScanError>();
    row->m_strDescription = kDescriptionFonts;
    row->m_nFound = 5;
    rows.push_back(std::move(row));
    for (int i = 0; i < 5; ++i) {
        const std::string name = "f" + std::to_string(i);
        registry.SetString(kFonts, name, "gone.ttf");
        auto value = std::make_unique<CRegValue>();
        value->m_strName = name;
        value->m_strData = "gone.ttf";
        auto finding = std::make_unique<CRegErrorLog>();
        finding->SetCategory(kCategoryFont);
        finding->SetKind(kKindValue);
        finding->SetKeyPath(kFonts);
        finding->SetValue(std::move(value));
        engine.m_arrErrorLog.push_back(std::move(finding));
        if (i < refused) {
            registry.FailNext(MemoryRegistry::Op::DeleteValue, ERROR_ACCESS_DENIED, kFonts);
        }
    }
    engine.FixRegistry(rows, backup);
    return rows;
}

} // namespace

TEST(FixOutcome, RemovedAndRefusedDecideTheLinesAndTheExitCode) {
    const struct {
        int refused;
        int removed;
        std::vector<std::string> lines;
        int exitCode;
    } cases[] = {
        {0, 5, {}, cli::kExitOk},
        {3, 2, {"fix: Corrupt Fonts: 3 not removed (Access Denied)"}, cli::kExitFailure},
        {5, 0, {"fix: Corrupt Fonts: 5 not removed (Access Denied)"}, cli::kExitFailure},
    };
    const std::string folder = testsupport::MakeTempFolder("fix_outcome_" + std::to_string(GetTickCount64()));
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        MemoryRegistry registry;
        testsupport::RecordingBoxes boxes;
        CRegistryLib engine(registry, boxes);
        const ScanErrorList rows =
            FixFonts(registry, engine, c.refused, folder + "\\b" + std::to_string(++run) + ".xml");
        EXPECT_EQ(rows[0]->m_nFixed, c.removed);
        EXPECT_EQ(rows[0]->m_nRefused, c.refused);
        const cli::FixOutcome outcome = cli::SummarizeFix(rows, nullptr, engine.m_bBackupFailed, "b.xml");
        EXPECT_EQ(outcome.removed, c.removed);
        EXPECT_EQ(cli::FixProblems(rows, nullptr, outcome), c.lines);
        EXPECT_EQ(cli::FixExitCode(outcome), c.exitCode);
    }
}

TEST(FixOutcome, ABackupThatFailedPartWaySaysWhatWasRemovedAndWhatWasLeft) {
    ScanErrorList rows;
    auto row = std::make_unique<CScanError>();
    row->m_strDescription = kDescriptionCLSID;
    row->m_nFound = 7;
    row->m_nFixed = 3;
    rows.push_back(std::move(row));
    const cli::ShortcutReport links{10, 2, 0, {}, 0};
    const struct {
        const char* file;
        int removed;
        std::string line;
    } cases[] = {
        {"", 0, "fix: the backup file could not be created; nothing was removed"},
        {"C:\\b.xml", 0, "fix: writing the backup file C:\\b.xml failed; nothing was removed"},
        {"C:\\b.xml", 3,
         "fix: writing the backup file C:\\b.xml failed; 3 entries were removed (all of them are in the "
         "backup), 6 entries were left in place"},
    };
    for (const auto& c : cases) {
        rows[0]->m_nFixed = c.removed;
        const cli::FixOutcome outcome = cli::SummarizeFix(rows, &links, true, c.file);
        EXPECT_EQ(cli::FixProblems(rows, &links, outcome), std::vector<std::string>{c.line});
        EXPECT_EQ(cli::FixExitCode(outcome), cli::kExitFailure);
    }
}

TEST(FixOutcome, AStoppedFixSaysWhatItRemovedAndLeftAndFails) {
    ScanErrorList rows;
    rows.push_back(std::make_unique<CScanError>());
    rows[0]->m_nFound = 5;
    rows[0]->m_nFixed = 2;
    cli::FixOutcome outcome = cli::SummarizeFix(rows, nullptr, false, "b.xml");
    outcome.stopped = true;
    EXPECT_EQ(cli::FixProblems(rows, nullptr, outcome),
              std::vector<std::string>{"fix: stopped before it had finished; 2 entries removed (all of them "
                                       "are in the backup), 3 entries left in place"});
    EXPECT_EQ(cli::FixExitCode(outcome), cli::kExitFailure);
}
