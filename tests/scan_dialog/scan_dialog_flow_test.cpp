// The scan dialog on its own thread with the shipped skin, over an in-memory registry: its screens, the
// clicks that move between them, the stop, the closes while a worker runs, and a fix without a backup.
#include "scan_dialog_harness.h"

#include "engine/scan_events.h"
#include "skin/app_state.h"
#include "skin/skin_messages.h"
#include "support/family_rows.h"
#include "support/test_paths.h"

namespace {

using dialogtest::DialogRun;
using dialogtest::GatedRegistry;
using testsupport::MemoryRegistry;

// The registry rows, then the shortcuts' row.
const std::vector<std::string> kCategories = [] {
    std::vector<std::string> rows = testsupport::kRegistryRowNames;
    rows.push_back("Missing ShortCuts");
    return rows;
}();

std::vector<std::string> FirstColumn(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::string> names;
    for (const auto& row : rows) {
        names.push_back(row.empty() ? std::string() : row.front());
    }
    return names;
}

bool Signalled(HANDLE event) {
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

class ScanDialogFlow : public dialogtest::ScanDialogTest {
protected:
    MemoryRegistry registry;
    GatedRegistry gated{registry};
};

TEST_F(ScanDialogFlow, ScanThatFindsNothingStillShowsEveryCategory) {
    dialogtest::SeedEmptyFamilies(registry);
    DialogRun run(Options(gated), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_EQ(g_pSummary.load(), &run.Dialog());
    EXPECT_EQ(run.Dialog().ScreenName(), "ScanComplete");

    const auto rows = run.ListRows();
    EXPECT_EQ(FirstColumn(rows), kCategories);
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 3u);
        EXPECT_EQ(row[2], "0") << row[0];
    }
    EXPECT_EQ(run.Dialog().TextOf("TEXT_SCANCOMPLETE_ERRORFOUND"), "0");
    EXPECT_EQ(
        run.Dialog().TextOf("TEXT_SCREENSCANCOMPLETE_TITLE"),
        "Orvalin has found 0 potentially dangerous errors\nclick the button below to repair your computer");

    ASSERT_TRUE(run.Click("BUTTON_OK"));
    EXPECT_TRUE(run.Ended(10000));
    EXPECT_FALSE(ScanDialogOpen);
    EXPECT_EQ(g_pSummary.load(), nullptr);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ScanDialogFlow, ScanAndFixByClicksShowFixedCountsWithAccessDeniedInTheTotal) {
    const int seeded = dialogtest::SeedFindings(registry, missing);
    // The shared tool cannot be deleted: its row shows 0 removed and the refusal beside it.
    registry.FailEvery(MemoryRegistry::Op::DeleteKey, ERROR_ACCESS_DENIED,
                       "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\OrvalinTool");
    DialogRun run(Options(gated), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));

    auto rows = run.ListRows();
    ASSERT_EQ(FirstColumn(rows), kCategories);
    EXPECT_EQ(rows[0][2], "2"); // two dead classes
    int scanned = 0;
    int found = 0;
    for (const auto& row : rows) {
        scanned += std::stoi(row[1]);
        found += std::stoi(row[2]);
    }
    EXPECT_EQ(found, seeded);
    EXPECT_EQ(run.Dialog().TextOf("TEXT_SCANCOMPLETE_ITEMSCANNED"), std::to_string(scanned));
    EXPECT_EQ(run.Dialog().TextOf("TEXT_SCANCOMPLETE_ERRORFOUND"), std::to_string(seeded));
    EXPECT_EQ(
        run.Dialog().TextOf("TEXT_SCREENSCANCOMPLETE_TITLE"),
        "Orvalin has found 6 potentially dangerous errors\nclick the button below to repair your computer");
    EXPECT_EQ(run.Dialog().ScanErrors().size(), kRegistryFamilyCount); // kept for the fix

    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::FixComplete));
    rows = run.ListRows();
    ASSERT_EQ(FirstColumn(rows), kCategories);
    const std::vector<std::string> fixed = {
        "2", "1", "0 (1 Access Denied)", "1", "1", "0", "0", "0", "0", "0", "0", "0", "0"};
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 4u);
        EXPECT_EQ(rows[i][3], fixed[i]) << rows[i][0];
    }
    EXPECT_EQ(run.Dialog().TextOf("TEXT_FIXCOMPLETE_STATUS"), "Fixed");
    EXPECT_EQ(run.Dialog().TextOf("TEXT_FIXCOMPLETE_FIXED"), "5"); // 2 + 1 + 0 + 1 + 1: what was removed
    EXPECT_EQ(run.Dialog().TextOf("TEXT_FIXCOMPLETE_ERRORFOUND"), std::to_string(seeded));
    EXPECT_EQ(run.Dialog().TextOf("TEXT_FIXCOMPLETE_ITEMSCANNED"), std::to_string(scanned));
    EXPECT_TRUE(run.Dialog().ScanErrors().empty());
    EXPECT_FALSE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{0D1A1A1A-0000-0000-0000-000000000001}"));
    EXPECT_TRUE(registry.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\OrvalinTool"));
    // Every deletion went to a backup file in the current directory.
    const std::string backup = run.Dialog().Engine().m_strBackupFile;
    EXPECT_EQ(backup.rfind("FixedOn", 0), 0u) << backup;
    EXPECT_TRUE(dialogtest::FileExists(folder + "\\" + backup));

    ASSERT_TRUE(run.Click("BUTTON_OK"));
    EXPECT_TRUE(run.Ended(10000));
    EXPECT_FALSE(ScanDialogOpen);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ScanDialogFlow, StopDuringTheScanClosesWithoutResults) {
    dialogtest::SeedFindings(registry, missing);
    gated.Close(GatedRegistry::Gate::Scan);
    DialogRun run(Options(gated), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ErrorScan));
    ASSERT_TRUE(gated.WaitUntilHeld());
    EXPECT_TRUE(run.Dialog().WorkerRunning());
    ASSERT_TRUE(run.Click("BUTTON_STOPSCAN"));
    EXPECT_TRUE(run.Dialog().WorkerRunning() || run.Ended() ||
                run.Dialog().Screen() == ScanScreen::ErrorScan);
    gated.Open();
    EXPECT_TRUE(run.Ended(10000));
    EXPECT_FALSE(ScanDialogOpen);
    EXPECT_EQ(g_pSummary.load(), nullptr);
    EXPECT_TRUE(Signalled(AbortEvent()));
    EXPECT_FALSE(Signalled(StopEvent())); // the next scan can start at once
}

// Another program sets the named event: the scan stops and the window says why it has no results.
TEST_F(ScanDialogFlow, AStopFromAnotherProgramEndsTheScanWithAWord) {
    dialogtest::SeedFindings(registry, missing);
    gated.Close(GatedRegistry::Gate::Scan);
    DialogRun run(Options(gated), skinPath);
    ASSERT_TRUE(gated.WaitUntilHeld());
    SetEvent(StopEvent());
    EXPECT_TRUE(run.Ended(10000));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].text.find("stopped by another program"), std::string::npos);
    EXPECT_FALSE(Signalled(StopEvent())); // the run it stopped consumed it
}

TEST_F(ScanDialogFlow, StopDuringTheFixEndsItAfterTheEntryInHandAndShowsWhatWasRemoved) {
    dialogtest::SeedFindings(registry, missing);
    const std::string drive = "S:\\" + testsupport::UniqueName("fixstop");
    CreateDirectoryA(drive.c_str(), nullptr);
    const std::string link = drive + "\\broken.lnk";
    dialogtest::SaveBrokenShortcut(link, drive);
    // A pause per fixed entry far longer than the test may take: the stop must cut it short.
    ScanDialogOptions options = Options(gated, "S");
    options.fixPauseMs = 600000;
    DialogRun run(options, skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_GE(run.Dialog().Shortcuts().m_nLinksFound, 1);

    gated.Close(GatedRegistry::Gate::Fix);
    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    ASSERT_TRUE(gated.WaitUntilHeld());
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ErrorFixing));
    ASSERT_TRUE(run.Click("BUTTON_STOPSCAN"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::FixComplete));

    // Only the first class (the entry in hand) is gone; the rest and the shortcut stay.
    EXPECT_FALSE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{0D1A1A1A-0000-0000-0000-000000000001}"));
    EXPECT_TRUE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{0D1A1A1A-0000-0000-0000-000000000002}"));
    EXPECT_TRUE(registry.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\OrvalinTool"));
    EXPECT_TRUE(dialogtest::FileExists(link));
    EXPECT_EQ(run.Dialog().TextOf("TEXT_FIXCOMPLETE_STATUS"), "Repair stopped");
    EXPECT_EQ(run.Dialog().TextOf("TEXT_FIXCOMPLETE_FIXED"), "1");
    const int found = std::stoi(run.Dialog().TextOf("TEXT_FIXCOMPLETE_ERRORFOUND"));
    EXPECT_EQ(run.Dialog().TextOf("TEXT_FIXCOMPLETE_SUBTITLE"),
              "Stopped: 1 entry removed (all in the backup), " + std::to_string(found - 1) +
                  " left in place.");
    EXPECT_FALSE(Signalled(AbortEvent()));
    EXPECT_FALSE(Signalled(StopEvent())); // never set here: another copy's run goes on
    ASSERT_TRUE(run.Click("BUTTON_OK"));
    EXPECT_TRUE(run.Ended(10000));
    DeleteFileA(link.c_str());
    RemoveDirectoryA(drive.c_str());
}

// Every way of closing while the scan worker runs stops it first and leaves the flag clear.
TEST_F(ScanDialogFlow, EveryCloseWhileTheWorkerRunsStopsItAndClearsTheFlag) {
    dialogtest::SeedFindings(registry, missing);
    const std::vector<std::string> closes = {"BUTTON_CANCEL", "Esc", "Enter", "WM_PREPARETOCLOSE",
                                             "IDCANCEL"};
    for (const std::string& close : closes) {
        SCOPED_TRACE(close);
        BeginRun();
        gated.Close(GatedRegistry::Gate::Scan);
        DialogRun run(Options(gated), skinPath);
        ASSERT_TRUE(run.WaitForScreen(ScanScreen::ErrorScan));
        ASSERT_TRUE(gated.WaitUntilHeld());
        const HANDLE worker = run.Dialog().WorkerThread();
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), worker, GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
        if (close == "BUTTON_CANCEL") {
            ASSERT_TRUE(run.Click(close));
        } else if (close == "Esc" || close == "Enter") {
            const WPARAM key = close == "Esc" ? VK_ESCAPE : VK_RETURN;
            PostMessageA(run.Window(), WM_KEYDOWN, key, 0);
            PostMessageA(run.Window(), WM_KEYUP, key, 0);
        } else if (close == "WM_PREPARETOCLOSE") {
            PostMessageA(run.Window(), WM_PREPARETOCLOSE, 0, 0);
        } else {
            // How the main window's page closes an open dialog when it goes.
            SendMessageA(run.Window(), WM_COMMAND, IDCANCEL, 0);
        }
        EXPECT_TRUE(run.Ended(10000));
        // The worker had ended before the dialog (and its members) went.
        EXPECT_EQ(WaitForSingleObject(copy, 0), WAIT_OBJECT_0);
        CloseHandle(copy);
        EXPECT_FALSE(ScanDialogOpen);
        EXPECT_EQ(g_pSummary.load(), nullptr);
        EXPECT_FALSE(Signalled(AbortEvent())); // a close is no aborted run
    }
}

// Closing during a fix stops it after the entry in hand (whose progress goes to the texts of a dialog
// whose thread is waiting, which must not hold it up) and then closes.
TEST_F(ScanDialogFlow, CloseDuringTheFixStopsItAfterTheEntryInHand) {
    dialogtest::SeedFindings(registry, missing);
    DialogRun run(Options(gated), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    gated.Close(GatedRegistry::Gate::Fix);
    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    ASSERT_TRUE(gated.WaitUntilHeld());
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ErrorFixing));
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutA(run.Window(), WM_COMMAND, IDCANCEL, 0, SMTO_BLOCK, 20000, &result), 0);
    EXPECT_TRUE(run.Ended(10000));
    EXPECT_FALSE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{0D1A1A1A-0000-0000-0000-000000000001}"));
    EXPECT_TRUE(registry.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\OrvalinTool"));
    EXPECT_TRUE(
        registry.GetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                          "Orvalin Missing (TrueType)"));
    EXPECT_FALSE(ScanDialogOpen);
}

// A cancel stops only its own run; the next dialog scans to its results.
TEST_F(ScanDialogFlow, CancelThenScanAgainRunsTheNewScan) {
    dialogtest::SeedFindings(registry, missing);
    {
        gated.Close(GatedRegistry::Gate::Scan);
        DialogRun first(Options(gated), skinPath);
        ASSERT_TRUE(first.WaitForScreen(ScanScreen::ErrorScan));
        ASSERT_TRUE(gated.WaitUntilHeld());
        ASSERT_TRUE(first.Click("BUTTON_CANCEL"));
        ASSERT_TRUE(first.Ended(10000));
    }
    EXPECT_FALSE(Signalled(StopEvent()));
    gated.Close(GatedRegistry::Gate::None);
    DialogRun second(Options(gated), skinPath);
    ASSERT_TRUE(second.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_EQ(second.ListRows().size(), kRegistryFamilyCount + 1);
    EXPECT_EQ(second.Dialog().TextOf("TEXT_SCANCOMPLETE_ERRORFOUND"), "6");
}

// The skin's scan-complete screen and its results, with the stop pressed where no worker runs: it was
// meant for no run, and the fix started afterwards removes everything.
TEST_F(ScanDialogFlow, StopOnAScreenWithoutWorkerDoesNotStopTheNextFix) {
    dialogtest::SeedFindings(registry, missing);
    dialogtest::WriteSkinWithButton(skinPath, "SCREENSCANCOMPLETE_BUTTONINFO",
                                    "BUTTON_STOPSCAN, 24, 362, 40, 40");
    DialogRun run(Options(gated), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    ASSERT_TRUE(run.Click("BUTTON_STOPSCAN"));
    EXPECT_FALSE(Signalled(StopEvent()));
    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::FixComplete));
    EXPECT_FALSE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{0D1A1A1A-0000-0000-0000-000000000001}"));
    EXPECT_EQ(run.Dialog().TextOf("TEXT_FIXCOMPLETE_STATUS"), "Fixed");
    EXPECT_FALSE(Signalled(AbortEvent()));
}

// A skin that puts BUTTON_FIXERROR on the scan's progress screen cannot start a fix beside the scan.
TEST_F(ScanDialogFlow, FixButtonActsOnlyOnTheScanCompleteScreen) {
    dialogtest::SeedFindings(registry, missing);
    dialogtest::WriteSkinWithButton(skinPath, "SCREENERRORSCAN_BUTTONINFO",
                                    "BUTTON_FIXERROR, 24, 362, 40, 40");
    gated.Close(GatedRegistry::Gate::Scan);
    DialogRun run(Options(gated), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ErrorScan));
    ASSERT_TRUE(gated.WaitUntilHeld());
    const HANDLE scanWorker = run.Dialog().WorkerThread();
    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    EXPECT_EQ(run.Dialog().Screen(), ScanScreen::ErrorScan);
    EXPECT_EQ(run.Dialog().WorkerThread(), scanWorker);
    gated.Open();
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_TRUE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{0D1A1A1A-0000-0000-0000-000000000001}"));
}

// A failure inside the engine ends that run with one message; the dialog still goes on to its results.
TEST_F(ScanDialogFlow, FailureInsideARunIsReportedOnceAndTheResultsStillFollow) {
    dialogtest::SeedFindings(registry, missing);
    gated.ThrowAt(GatedRegistry::Gate::Scan);
    DialogRun run(Options(gated), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_EQ(FirstColumn(run.ListRows()), std::vector<std::string>{"Missing ShortCuts"});
    auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error Occured while scanning");
    EXPECT_EQ(shown[0].caption, "Scan thread");
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK));
    ASSERT_TRUE(run.Click("BUTTON_OK"));
    ASSERT_TRUE(run.Ended(10000));

    gated.ThrowAt(GatedRegistry::Gate::Fix);
    DialogRun fix(Options(gated), skinPath);
    ASSERT_TRUE(fix.WaitForScreen(ScanScreen::ScanComplete));
    ASSERT_TRUE(fix.Click("BUTTON_FIXERROR"));
    ASSERT_TRUE(fix.WaitForScreen(ScanScreen::FixComplete));
    EXPECT_EQ(FirstColumn(fix.ListRows()), kCategories);
    shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Error Occured while Fixing");
    EXPECT_EQ(shown[1].caption, "Fix thread");
}

TEST_F(ScanDialogFlow, SkinWithoutAScanScreenEndsTheThreadAndClearsTheFlag) {
    dialogtest::WriteBytes(
        skinPath, "[SCREENSCANCOMPLETEINFO]\n1=ScanComplete, a.gif, a.gif, a.gif, a.gif, 0, 0, 10, 10\n");
    dialogtest::SeedFindings(registry, missing);
    DialogRun run(Options(gated), skinPath);
    ASSERT_TRUE(run.Started());
    EXPECT_TRUE(run.Ended(10000));
    EXPECT_FALSE(ScanDialogOpen);
    EXPECT_EQ(g_pSummary.load(), nullptr);
    EXPECT_EQ(registry.Calls(MemoryRegistry::Op::EnumKeyEx), 0); // no scan ever ran
}

// A fix that cannot create its backup file deletes nothing, says so, and closes: a results screen
// saying "Fixed" would be wrong.
TEST_F(ScanDialogFlow, FixWithoutABackupFileDeletesNothingAndSaysSo) {
    dialogtest::SeedFindings(registry, missing);
    const std::string drive = "S:\\" + testsupport::UniqueName("nobackup");
    CreateDirectoryA(drive.c_str(), nullptr);
    const std::string link = drive + "\\broken.lnk";
    dialogtest::SaveBrokenShortcut(link, drive);
    DialogRun run(Options(gated, "S"), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    // Nothing can be created in the host's process folder, not even by the super-user.
    ASSERT_TRUE(SetCurrentDirectoryA("Z:\\proc"));
    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    EXPECT_TRUE(run.Ended(10000));
    SetCurrentDirectoryA(folder.c_str());

    EXPECT_TRUE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{0D1A1A1A-0000-0000-0000-000000000001}"));
    EXPECT_TRUE(registry.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\OrvalinTool"));
    EXPECT_TRUE(
        registry.GetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                          "Orvalin Missing (TrueType)"));
    EXPECT_TRUE(dialogtest::FileExists(link));
    const auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Orvalin could not write the backup file, so nothing was repaired.\n"
                             "Your registry and your shortcuts are unchanged.");
    EXPECT_EQ(shown[0].caption, "Orvalin");
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_FALSE(ScanDialogOpen);
    EXPECT_FALSE(Signalled(AbortEvent()));
    DeleteFileA(link.c_str());
    RemoveDirectoryA(drive.c_str());
}

} // namespace
