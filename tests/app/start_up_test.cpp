// Starting the main window: a scan at start, a missing skin, a partial skin, page names in lower case.
#include <gtest/gtest.h>

#include "main_window_harness.h"
#include "skin/app_state.h"
#include "support/file_bytes.h"
#include "support/test_paths.h"

using apptest::MainWindow;
using apptest::VisiblePage;

TEST(StartUp, ScanAtStartupOpensOneScanDialogFromTheFirstPage) {
    MainWindow main(true);
    ASSERT_TRUE(main.open);
    EXPECT_EQ(main.log.scansStarted, 1);
    EXPECT_EQ(main.log.scanPanel, main.dialog->SubScreens().front()->Hwnd());
    EXPECT_TRUE(ScanDialogOpen);
    EXPECT_NE(main.dialog->SubScreens().front()->ScanThread(), nullptr);
    EXPECT_EQ(VisiblePage(*main.dialog), "SUBMAIN_MAIN");
}

TEST(StartUp, ScanAtStartupWithoutPagesOpensNoScanDialog) {
    const std::string folder = testsupport::MakeTempFolder("nopages");
    apptest::WriteSkin(folder, "[MAINSCREENINFO]\nMain=none.gif\n");
    MainWindow main(true, folder);
    ASSERT_TRUE(main.open);
    EXPECT_TRUE(main.dialog->SubScreens().empty());
    EXPECT_EQ(main.log.scansStarted, 0);
    EXPECT_FALSE(ScanDialogOpen);
}

TEST(StartUp, MissingSkinIsReportedAndEndsTheDialog) {
    const std::string folder = testsupport::MakeTempFolder("noskin");
    apptest::CurrentDirectory directory(folder);
    apptest::RecordingBoxes boxes;
    apptest::CommandLog log;
    apptest::TestMainDlg dialog(boxes, apptest::RecordingCommands(log));
    // Modal, as the program runs it: the message is answered at once and the dialog ends with IDCANCEL.
    EXPECT_EQ(dialog.RunModal(nullptr), IDCANCEL);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "\\Skin\\skin.ini Not Found");
    EXPECT_EQ(boxes.shown[0].caption, "Orvalin");
    EXPECT_EQ(boxes.shown[0].type, static_cast<UINT>(MB_ICONHAND));
    EXPECT_TRUE(dialog.SubScreens().empty());
    EXPECT_TRUE(dialog.Buttons().empty());
}

TEST(StartUp, PartialSkinNeverCrashesAndLeavesPartsEmpty) {
    const std::string folder = testsupport::MakeTempFolder("partialskin");
    // No pictures at all, a page with a broken record, a list with a huge column count, an empty
    // animation rectangle.
    apptest::WriteSkin(folder, "[MAINSCREENBUTTONINFO]\n1=BUTTON_EXIT, 10, 10, 20, 20\n2=\n"
                               "[SUBMAINSCREENINFO]\n1=SUBMAIN_MAIN\n2=,,,,,,,,\n"
                               "[SUBMAIN_MAIN_LISTINFO]\n1=0, 0, 100, 100, 99999, A\n"
                               "[MAINSCREENANIMATION]\nDIMENSION=\n");
    MainWindow main(false, folder);
    ASSERT_TRUE(main.open);
    // No mask: the window keeps a shape of its own, and says so.
    ASSERT_EQ(main.boxes.shown.size(), 1u);
    EXPECT_EQ(main.boxes.shown[0].text, "Region is Null");
    EXPECT_EQ(main.dialog->Buttons().size(), 1u);
    EXPECT_EQ(main.dialog->SubScreens().size(), 2u);
    EXPECT_EQ(VisiblePage(*main.dialog), "SUBMAIN_MAIN");
    const RECT client = main.dialog->ClientRect();
    EXPECT_GT(client.right, 0);
    EXPECT_GT(client.bottom, 0);
    main.dialog->Invalidate();
    apptest::PumpFor(50);
    main.dialog->ButtonPressed("BUTTON_EXIT");
    EXPECT_FALSE(main.dialog->IsWindow());
}

TEST(StartUp, LowerCasePageNameReadsUpperCaseSectionsButIsNotShownByName) {
    const std::string folder = testsupport::MakeTempFolder("lowercase");
    apptest::WriteSkin(
        folder, "[MAINSCREENINFO]\nMain=none.gif\n"
                "[SUBMAINSCREENINFO]\n1=submain_main, a.gif, b.gif, c.gif, d.gif, 10, 10, 200, 200\n"
                "[SUBMAIN_MAIN_BUTTONINFO]\n1=BUTTON_SCAN, 1, 1, 20, 20\n2=BUTTON_RESTORE, 1, 30, 20, 20\n"
                "[SUBMAIN_MAIN_TEXTINFO]\n1=TEXT_A, Tahoma, F, F, 12, 0, 1, 60, 50, 12, Hello\n"
                "[SUBMAIN_MAIN_LISTINFO]\n1=1, 80, 150, 100, 1, Title, 80\n");
    MainWindow main(false, folder);
    ASSERT_TRUE(main.open);
    ASSERT_EQ(main.dialog->SubScreens().size(), 1u);
    const CSubMainSkin& page = *main.dialog->SubScreens().front();
    EXPECT_EQ(page.Name(), "submain_main");
    EXPECT_EQ(page.SectionName(), "SUBMAIN_MAIN");
    EXPECT_EQ(page.Buttons().size(), 2u);
    EXPECT_EQ(page.TextCount(), 1u);
    ASSERT_NE(page.ScheduleList(), nullptr);
    EXPECT_EQ(page.ScheduleList()->ColumnTitle(0), "Title");
    // The exact comparison finds no page, so all are hidden; its own name shows it.
    EXPECT_FALSE(page.IsVisible());
    main.dialog->ShowSubScreen("submain_main");
    EXPECT_TRUE(page.IsVisible());
    EXPECT_EQ(main.dialog->FindSubScreen("SUBMAIN_MAIN"), nullptr);
}

TEST(StartUp, HugeMaskPictureIsRefusedWithAMessage) {
    const std::string folder = testsupport::MakeTempFolder("hugemask");
    apptest::CurrentDirectory directory(folder);
    const unsigned char gif[] = {'G',  'I',  'F',  '8', '9', 'a', 0x20,
                                 0x4E, 0x20, 0x4E, 0,   0,   0}; // 20000 x 20000
    apptest::WriteSkin(folder, "[MAINSCREENINFO]\nMain=main.gif\nMask=mask.gif\n");
    testsupport::WriteBytes(folder + "\\skin\\mask.gif", std::string(std::begin(gif), std::end(gif)));
    apptest::RecordingBoxes boxes;
    apptest::CommandLog log;
    apptest::TestMainDlg dialog(boxes, apptest::RecordingCommands(log));
    EXPECT_EQ(dialog.RunModal(nullptr), IDCANCEL);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("mask.gif is 20000 x 20000 pixels"), std::string::npos);
}
