// The scan dialog reached from the main window: the "scan" start-up, the page's Scan and Restore
// buttons while a dialog is open, a cancel followed by one press of Scan, and the shutdown that cancels
// a running scan.
#include "scan_dialog_harness.h"

#include "scan_dialog/panel_scan_commands.h"
#include "skin/app_state.h"
#include "skin/main_skin.h"
#include "winui/message_loop.h"

namespace {

using dialogtest::DialogRun;
using dialogtest::GatedRegistry;
using testsupport::MemoryRegistry;

constexpr UINT kMainDialogTemplate = 102;

// Runs the test thread's messages until `done` or the time-out.
template <typename Done> bool PumpUntil(Done done, DWORD timeoutMs = 20000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        winui::PumpWaitingMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

class MainWindowScan : public dialogtest::ScanDialogTest {
protected:
    void SetUp() override {
        ScanDialogTest::SetUp();
        dialogtest::SeedFindings(registry, missing);
        SetScanDialogCommands(commands, Options(gated));
        commands.restoreRegistry = [this](HWND) {
            ++restores;
            return true;
        };
    }
    void TearDown() override {
        main.reset();
        winui::PumpWaitingMessages();
        ScanAtStartup = false;
        ScanDialogTest::TearDown();
    }

    // The main screen on this thread, reading the skin below the current directory.
    void OpenMainWindow(bool scanAtStartup) {
        ScanAtStartup = scanAtStartup;
        main = std::make_unique<CMainSkin>(kMainDialogTemplate, boxes, commands);
        main->SetSkinFile("Skin.ini");
        ASSERT_TRUE(main->CreateModeless(nullptr));
        main->Show(SW_SHOW);
    }
    CSubMainSkin& MainPage() const {
        CSubMainSkin* page = main->FindSubScreen("SUBMAIN_MAIN");
        EXPECT_NE(page, nullptr);
        return *page;
    }
    // The dialog the page opened, once it exists.
    Summary* OpenDialog() {
        Summary* dialog = nullptr;
        PumpUntil([&] { return (dialog = dynamic_cast<Summary*>(g_pSummary.load())) != nullptr; });
        return dialog;
    }

    MemoryRegistry registry;
    GatedRegistry gated{registry};
    PanelCommands commands;
    std::unique_ptr<CMainSkin> main;
    int restores = 0;
};

TEST_F(MainWindowScan, ScanStartUpOpensTheDialogAtOnceAndItsResultsFollow) {
    OpenMainWindow(true);
    EXPECT_TRUE(ScanDialogOpen);
    Summary* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(MainPage().ScanThread(), nullptr);
    DialogRun run(*dialog, MainPage().ScanThread());
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_EQ(dialog->SkinFile(), SkinPath);
    EXPECT_EQ(run.ListRows().size(), kRegistryFamilyCount + 1);
    ASSERT_TRUE(run.Click("BUTTON_OK"));
    EXPECT_TRUE(run.Ended(10000));
    EXPECT_FALSE(ScanDialogOpen);
}

TEST_F(MainWindowScan, WhileADialogIsOpenScanAndRestoreDoNothingAndAfterACancelOnePressScans) {
    OpenMainWindow(false);
    gated.Close(GatedRegistry::Gate::Scan);
    MainPage().ButtonPressed("BUTTON_SCAN");
    Summary* first = OpenDialog();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(gated.WaitUntilHeld());
    const HANDLE firstThread = MainPage().ScanThread();
    DialogRun firstRun(*first, firstThread);
    ASSERT_TRUE(firstRun.WaitForScreen(ScanScreen::ErrorScan));

    MainPage().ButtonPressed("BUTTON_SCAN");
    MainPage().ButtonPressed("BUTTON_RESTORE");
    EXPECT_EQ(MainPage().ScanThread(), firstThread); // no second dialog
    EXPECT_EQ(g_pSummary.load(), first);
    EXPECT_EQ(restores, 0);
    EXPECT_TRUE(boxes.Shown().empty());

    ASSERT_TRUE(firstRun.Click("BUTTON_CANCEL"));
    ASSERT_TRUE(firstRun.Ended(10000));
    EXPECT_FALSE(ScanDialogOpen);

    // One press opens a scan that runs to its results, although the cancel left the stop signalled.
    gated.Close(GatedRegistry::Gate::None);
    MainPage().ButtonPressed("BUTTON_SCAN");
    Summary* second = OpenDialog();
    ASSERT_NE(second, nullptr);
    DialogRun secondRun(*second, MainPage().ScanThread());
    ASSERT_TRUE(secondRun.WaitForScreen(ScanScreen::ScanComplete));
    EXPECT_EQ(secondRun.Dialog().TextOf("TEXT_SCANCOMPLETE_ERRORFOUND"), "6");
    ASSERT_TRUE(secondRun.Click("BUTTON_OK"));
    ASSERT_TRUE(secondRun.Ended(10000));

    MainPage().ButtonPressed("BUTTON_RESTORE");
    EXPECT_EQ(restores, 1);
}

TEST_F(MainWindowScan, ClosingTheMainWindowCancelsARunningScan) {
    gated.Close(GatedRegistry::Gate::Scan);
    OpenMainWindow(true);
    Summary* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(gated.WaitUntilHeld());
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), MainPage().ScanThread(), GetCurrentProcess(), &thread, SYNCHRONIZE,
                    FALSE, 0);
    const HANDLE worker = dialog->WorkerThread();
    HANDLE workerCopy = nullptr;
    DuplicateHandle(GetCurrentProcess(), worker, GetCurrentProcess(), &workerCopy, SYNCHRONIZE, FALSE, 0);

    const ULONGLONG start = GetTickCount64();
    main.reset(); // the pages go with the window and cancel the dialog on their way
    EXPECT_LT(GetTickCount64() - start, 10000u);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(workerCopy, 0), WAIT_OBJECT_0);
    EXPECT_FALSE(ScanDialogOpen);
    EXPECT_EQ(g_pSummary.load(), nullptr);
    CloseHandle(thread);
    CloseHandle(workerCopy);
}

} // namespace
