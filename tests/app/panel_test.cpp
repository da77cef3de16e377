// The pages' buttons and schedule list, with the program's operations recorded.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "main_window_harness.h"
#include "skin/app_state.h"
#include "skin/skin_dialog.h"
#include "skin/skin_messages.h"

using apptest::MainWindow;

namespace {

CSubMainSkin& Page(MainWindow& main, const char* name) {
    CSubMainSkin* page = main.dialog->FindSubScreen(name);
    EXPECT_NE(page, nullptr) << name;
    return *page;
}

} // namespace

TEST(Pages, ScanButtonOpensOneScanDialogAtATime) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CSubMainSkin& page = Page(main, "SUBMAIN_MAIN");
    apptest::ClickWithMouse(page.FindButton("BUTTON_SCAN")->Hwnd());
    EXPECT_TRUE(apptest::PumpUntil([&] { return main.log.scansStarted == 1; }));
    EXPECT_EQ(main.log.scanPanel, page.Hwnd());
    EXPECT_EQ(main.log.scanSkinPath, SkinPath);
    EXPECT_TRUE(ScanDialogOpen);
    EXPECT_NE(page.ScanThread(), nullptr);

    page.ButtonPressed("BUTTON_SCAN");
    EXPECT_EQ(main.log.scansStarted, 1);
    ScanDialogOpen = false; // the scan dialog closed
    page.ButtonPressed("BUTTON_SCAN");
    EXPECT_EQ(main.log.scansStarted, 2);
}

TEST(Pages, ScanDialogThatCannotStartLeavesNoOpenFlag) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    main.log.scanStartFails = true;
    Page(main, "SUBMAIN_MAIN").ButtonPressed("BUTTON_SCAN");
    EXPECT_EQ(main.log.scansStarted, 1);
    EXPECT_FALSE(ScanDialogOpen);
}

TEST(Pages, RestoreReportsItsOutcomeAndWaitsForAnOpenScan) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CSubMainSkin& page = Page(main, "SUBMAIN_MAIN");
    page.ButtonPressed("BUTTON_RESTORE");
    main.log.restoreResult = false;
    page.ButtonPressed("BUTTON_RESTORE");
    ScanDialogOpen = true;
    page.ButtonPressed("BUTTON_RESTORE");

    EXPECT_EQ(main.log.restores, 2);
    ASSERT_EQ(main.boxes.shown.size(), 2u);
    EXPECT_EQ(main.boxes.shown[0].text, "Registry Restored Successfuly");
    EXPECT_EQ(main.boxes.shown[1].text, "Registry Restoration Failed");
    for (const auto& box : main.boxes.shown) {
        EXPECT_EQ(box.caption, "Registry Restoration");
        EXPECT_EQ(box.type, static_cast<UINT>(MB_ICONINFORMATION));
    }
}

TEST(Pages, ScheduleListShowsAddsAndDeletesTheSelectedRow) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CSubMainSkin& page = Page(main, "SUBMAIN_SCHEDULE");
    const winui::ReportView& list = *page.ScheduleList();
    EXPECT_EQ(list.ItemCount(), 0);

    // Delete on an empty list asks nothing.
    page.ButtonPressed("BUTTON_DELETESCHEDULE");
    EXPECT_TRUE(main.boxes.shown.empty());

    page.ButtonPressed("BUTTON_ADDSCHEDULE");
    page.ButtonPressed("BUTTON_ADDSCHEDULE");
    EXPECT_EQ(main.log.schedulesAdded, 2);
    ASSERT_EQ(list.ItemCount(), 2);
    EXPECT_EQ(list.ItemText(1, 0), "2");
    EXPECT_EQ(list.ItemText(1, 1), "Daily at 10:00");
    EXPECT_EQ(list.ItemText(1, 2), "Never");

    // Without a selection nothing is asked.
    list.Send(LVM_SETSELECTIONMARK, 0, -1);
    page.ButtonPressed("BUTTON_DELETESCHEDULE");
    EXPECT_TRUE(main.boxes.shown.empty());

    // Cancel keeps the row; OK deletes the row at the selection mark.
    list.Send(LVM_SETSELECTIONMARK, 0, 1);
    main.boxes.answer = IDCANCEL;
    page.ButtonPressed("BUTTON_DELETESCHEDULE");
    EXPECT_TRUE(main.log.deleted.empty());
    main.boxes.answer = IDOK;
    page.ButtonPressed("BUTTON_DELETESCHEDULE");
    EXPECT_EQ(main.log.deleted, std::vector<int>{1});
    EXPECT_EQ(list.ItemCount(), 1);
    ASSERT_EQ(main.boxes.shown.size(), 2u);
    EXPECT_EQ(main.boxes.shown[0].text, "Are You Sure");
    EXPECT_EQ(main.boxes.shown[0].caption, "Delete Scheduled Task");
    EXPECT_EQ(main.boxes.shown[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));

    // A page without a list adds through the dialog but deletes nothing.
    CSubMainSkin& other = Page(main, "SUBMAIN_MAIN");
    other.ButtonPressed("BUTTON_ADDSCHEDULE");
    other.ButtonPressed("BUTTON_DELETESCHEDULE");
    EXPECT_EQ(main.log.schedulesAdded, 3);
    EXPECT_EQ(main.log.deleted.size(), 1u);
}

TEST(Pages, LiveUpdateAsksFirstAndQuitsWithEighteen) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CSubMainSkin& page = Page(main, "SUBMAIN_LIVEUPDATE");
    main.boxes.answer = IDNO;
    page.ButtonPressed("BUTTON_RUNUPDATE");
    EXPECT_EQ(main.log.liveUpdates, 0);
    MSG quit{};
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    main.boxes.answer = IDYES;
    page.ButtonPressed("BUTTON_RUNUPDATE");
    EXPECT_EQ(main.log.liveUpdates, 1);
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 18u);
    ASSERT_EQ(main.boxes.shown.size(), 2u);
    EXPECT_EQ(main.boxes.shown[0].text,
              "To Run the Live Update,Orvalin must be shut down\n Would you like to close "
              "Orvalin, and run live update now?");
    EXPECT_EQ(main.boxes.shown[0].caption, "Orvalin");
    EXPECT_EQ(main.boxes.shown[0].type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
}

TEST(Pages, SupportButtonOpensTheSupportPage) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    Page(main, "SUBMAIN_SUPPORT").ButtonPressed("BUTTON_SUPPORT");
    EXPECT_EQ(main.log.supportPages, 1);
}

TEST(Pages, WithoutTheProgramsOperationsButtonsDoNothing) {
    MainWindow main(false, "", false);
    ASSERT_TRUE(main.open);
    for (const auto& page : main.dialog->SubScreens()) {
        for (const auto& button : page->Buttons()) {
            page->ButtonPressed(button->Name());
        }
    }
    EXPECT_TRUE(main.boxes.shown.empty());
    EXPECT_FALSE(ScanDialogOpen);
    MSG quit{};
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Pages, ScanButtonIsEnabledOnRequest) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CSubMainSkin& page = Page(main, "SUBMAIN_MAIN");
    page.EnableButton("BUTTON_SCAN", false);
    EXPECT_EQ(page.Send(WM_ENABLESCANBUTTON), 0);
    EXPECT_TRUE(page.FindButton("BUTTON_SCAN")->IsEnabled());
}

namespace {

// A window of the program inside a page, counting WM_PREPARETOCLOSE.
class CloseWatcher : public winui::Window {
public:
    int prepared = 0;

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM, LPARAM) override {
        if (message == WM_PREPARETOCLOSE) {
            ++prepared;
            return 0;
        }
        return std::nullopt;
    }
};

} // namespace

TEST(Pages, ClosingTellsDescendantsAndCancelsTheOpenScanDialog) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CSubMainSkin& page = Page(main, "SUBMAIN_MAIN");
    CloseWatcher watcher;
    ASSERT_TRUE(watcher.CreateCustom(0, "", WS_CHILD, RECT{0, 0, 10, 10}, page.Hwnd(), 0));

    // A scan dialog started by the page, open on this thread for the test.
    page.ButtonPressed("BUTTON_SCAN");
    CSkinDialog summary(winui::DialogTemplate(WS_POPUP, 0, 0, 0, 50, 50, "Summary"));
    ASSERT_TRUE(summary.CreateModeless(nullptr));
    g_pSummary = &summary;

    main.dialog->ButtonPressed("BUTTON_EXIT");
    EXPECT_FALSE(main.dialog->IsWindow());
    EXPECT_GE(watcher.prepared, 1);
    // The pages go with the screen; the one that started the scan cancels its dialog.
    main.dialog->Free();
    EXPECT_FALSE(summary.IsWindow());
    EXPECT_EQ(g_pSummary.load(), nullptr);
    EXPECT_EQ(LastSubScreen, nullptr);
}
