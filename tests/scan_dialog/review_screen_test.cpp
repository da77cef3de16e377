// The review screen through the real dialog: Review opens it with every finding ticked, Space on a row
// unticks it, Repair selected removes exactly the ticked findings into the backup, Ignore writes the
// ticked ones to the ignore list and the results say how many were ignored.
#include "scan_dialog_harness.h"

#include "engine/ignore_list.h"
#include "scan_dialog/results_list.h"

#include <commctrl.h>

namespace {

using dialogtest::DialogRun;
using testsupport::MemoryRegistry;

constexpr char kHelpKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help";
constexpr char kSharedKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kFontsKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

class ReviewScreen : public dialogtest::ScanDialogTest {
protected:
    // Space on a row of the review list, as the keyboard gives it (the dialog's thread handles it).
    void PressSpaceOn(const DialogRun& run, int row) const {
        const HWND list = run.Dialog().ResultsList().Hwnd();
        LVITEMA item{};
        item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
        item.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        SendMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
        run.Sync();
    }
    std::string Selection(const DialogRun& run) const { return run.Dialog().TextOf("TEXT_REVIEW_SELECTION"); }

    MemoryRegistry registry;
};

TEST_F(ReviewScreen, RepairSelectedRemovesAndBacksUpExactlyTheTickedFindings) {
    const int seeded = dialogtest::SeedFindings(registry, missing);
    DialogRun run(Options(registry), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    ASSERT_TRUE(run.Click("BUTTON_REVIEW"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::Review));
    const auto rows = run.ListRows();
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(seeded));
    EXPECT_EQ(rows[2], (std::vector<std::string>{
                           kDescriptionHelp,
                           "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\help  [orvalin-missing.hlp]",
                           missing.substr(0, missing.rfind('\\') + 1) + "orvalin-missing.hlp"}));
    EXPECT_EQ(Selection(run), "6 of 6 entries selected");

    ASSERT_TRUE(run.Click("BUTTON_REVIEW_NONE"));
    EXPECT_EQ(Selection(run), "0 of 6 entries selected");
    ASSERT_TRUE(run.Click("BUTTON_REVIEW_ALL"));
    PressSpaceOn(run, 2); // help
    PressSpaceOn(run, 4); // shared file
    EXPECT_EQ(Selection(run), "4 of 6 entries selected");

    ASSERT_TRUE(run.Click("BUTTON_REVIEW_REPAIR"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::FixComplete));
    EXPECT_TRUE(registry.GetValue(kHelpKey, "orvalin-missing.hlp").has_value());
    EXPECT_TRUE(registry.GetValue(kSharedKey, missing).has_value());
    EXPECT_FALSE(registry.GetValue(kFontsKey, "Orvalin Missing (TrueType)").has_value());
    EXPECT_FALSE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{0D1A1A1A-0000-0000-0000-000000000001}"));
    const std::string backup = testsupport::ReadBytes(folder + "\\" + run.Dialog().Engine().m_strBackupFile);
    EXPECT_EQ(backup.find("orvalin-missing.hlp"), std::string::npos);
    EXPECT_EQ(backup.find("SharedDLLs"), std::string::npos);
    EXPECT_NE(backup.find("Orvalin Missing (TrueType)"), std::string::npos);
    EXPECT_NE(backup.find("OrvalinTool"), std::string::npos);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ReviewScreen, IgnoredFindingsLeaveTheReviewAndTheResultsCountThem) {
    dialogtest::SeedFindings(registry, missing);
    DialogRun run(Options(registry), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    ASSERT_TRUE(run.Click("BUTTON_REVIEW"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::Review));
    ASSERT_TRUE(run.Click("BUTTON_REVIEW_NONE"));
    PressSpaceOn(run, 5); // the font
    ASSERT_TRUE(run.Click("BUTTON_REVIEW_IGNORE"));
    EXPECT_EQ(Selection(run), "0 of 5 entries selected");
    engine::IgnoreList list;
    ASSERT_EQ(list.Load(registry), ERROR_SUCCESS);
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.Sorted()[0].second.valueName, "Orvalin Missing (TrueType)");

    ASSERT_TRUE(run.Click("BUTTON_REVIEW_BACK"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    const auto rows = run.ListRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back(), (std::vector<std::string>{kIgnoredRow, "", "1"}));
    // Repair all now leaves the ignored font in place.
    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::FixComplete));
    EXPECT_TRUE(registry.GetValue(kFontsKey, "Orvalin Missing (TrueType)").has_value());
    EXPECT_FALSE(registry.GetValue(kSharedKey, missing).has_value());

    // Scan again: what is left is the ignored font, counted apart.
    ASSERT_TRUE(run.Click("BUTTON_SCANAGAIN"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_EQ(run.Dialog().TextOf("TEXT_SCANCOMPLETE_ERRORFOUND"), "0");
    EXPECT_EQ(run.ListRows().back(), (std::vector<std::string>{kIgnoredRow, "", "1"}));
}

// One run of the ignore list's life in the window: an entry the scan left out (ignored before it) and one
// ignored in the review are listed, the first is taken back, the results' ignored count follows, a damaged
// entry is named once, and the next scan finds what was taken back.
TEST_F(ReviewScreen, IgnoredEntriesAreListedAndOneTakenBackIsFoundByTheNextScan) {
    dialogtest::SeedFindings(registry, missing);
    engine::IgnoreList seeded;
    ASSERT_EQ(seeded.Add(registry, {kCategoryFont, kFontsKey, "Orvalin Missing (TrueType)"}), ERROR_SUCCESS);
    registry.SetString(std::string("HKEY_CURRENT_USER\\") + engine::kIgnoreKey, "not-an-id", "x");
    DialogRun run(Options(registry), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_EQ(run.ListRows().back(), (std::vector<std::string>{kIgnoredRow, "", "1"}));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].text.find("1 damaged entry"), std::string::npos);
    EXPECT_NE(boxes.Shown()[0].text.find("\nnot-an-id: not an id"), std::string::npos);

    ASSERT_TRUE(run.Click("BUTTON_REVIEW"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::Review));
    ASSERT_TRUE(run.Click("BUTTON_REVIEW_NONE"));
    PressSpaceOn(run, 2); // help
    ASSERT_TRUE(run.Click("BUTTON_REVIEW_IGNORE"));
    ASSERT_TRUE(run.Click("BUTTON_REVIEW_SHOWIGNORED"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::Ignored));
    const auto listed = run.ListRows();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0][0], kCategoryHelp);
    EXPECT_EQ(listed[1], (std::vector<std::string>{kCategoryFont, kFontsKey, "Orvalin Missing (TrueType)"}));
    EXPECT_EQ(run.Dialog().TextOf("TEXT_IGNORED_SELECTION"), "0 of 2 entries selected");

    PressSpaceOn(run, 1);
    ASSERT_TRUE(run.Click("BUTTON_IGNORED_TAKEBACK"));
    EXPECT_EQ(run.ListRows().size(), 1u);
    engine::IgnoreList list;
    ASSERT_EQ(list.Load(registry), ERROR_SUCCESS);
    EXPECT_EQ(list.Size(), 1u);
    ASSERT_TRUE(run.Click("BUTTON_IGNORED_BACK"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::Review));
    ASSERT_TRUE(run.Click("BUTTON_REVIEW_BACK"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_EQ(run.ListRows().back(), (std::vector<std::string>{kIgnoredRow, "", "1"})); // the help alone

    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::FixComplete));
    ASSERT_TRUE(run.Click("BUTTON_SCANAGAIN"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_EQ(run.Dialog().TextOf("TEXT_SCANCOMPLETE_ERRORFOUND"), "1"); // the font, taken back
    EXPECT_EQ(run.ListRows().back(), (std::vector<std::string>{kIgnoredRow, "", "1"}));
}

} // namespace

// An ignore list that cannot be read whole may hide entries the user chose to keep among the findings: the
// scan says so, and neither Repair all nor Repair selected removes anything.
TEST_F(ReviewScreen, NothingIsRepairedWhileTheIgnoreListCannotBeRead) {
    dialogtest::SeedFindings(registry, missing);
    registry.FailEvery(MemoryRegistry::Op::OpenKeyEx, ERROR_ACCESS_DENIED,
                       "HKEY_CURRENT_USER\\Software\\Orvalin\\Ignore");
    DialogRun run(Options(registry), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    ASSERT_TRUE(run.Click("BUTTON_REVIEW"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::Review));
    ASSERT_TRUE(run.Click("BUTTON_REVIEW_REPAIR"));
    run.Sync();
    EXPECT_EQ(run.Dialog().Screen(), ScanScreen::Review);
    EXPECT_EQ(registry.Calls(MemoryRegistry::Op::DeleteKey) + registry.Calls(MemoryRegistry::Op::DeleteValue),
              0);
    const auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 3u); // at the scan, then at each repair
    for (const auto& box : shown) {
        EXPECT_NE(box.text.find("could not be read whole (error 5)"), std::string::npos) << box.text;
    }
    EXPECT_NE(shown[1].text.find("Nothing was repaired."), std::string::npos);
}
