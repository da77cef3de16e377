// The main window on the shipped skin: first page, page switching, the notification-area icon and its
// menu, minimising, the keys that must not close it, the About entry and the animation messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "app/tray_icon.h"
#include "main_window_harness.h"
#include "resource.h"
#include "skin/app_state.h"
#include "skin/skin_messages.h"

using apptest::DisabledButtons;
using apptest::MainWindow;
using apptest::PumpUntil;
using apptest::VisiblePage;
using Names = std::vector<std::string>;

namespace {

LRESULT Command(const CMainDlg& dialog, UINT id) {
    return dialog.Send(WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

} // namespace

TEST(MainWindow, StartsOnTheMainPageWithItsButtonDisabled) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    const CMainDlg& dialog = *main.dialog;

    EXPECT_EQ(dialog.Caption(), "Orvalin");
    EXPECT_TRUE(main.boxes.shown.empty());
    // The window is the mask's size and has no frame: client area and window are the same rectangle.
    RECT window{};
    GetWindowRect(dialog.Hwnd(), &window);
    const RECT client = dialog.ClientRect();
    EXPECT_EQ(window.right - window.left, 720);
    EXPECT_EQ(window.bottom - window.top, 470);
    EXPECT_EQ(client.right, 720);
    EXPECT_EQ(client.bottom, 470);

    Names pages;
    for (const auto& page : dialog.SubScreens()) {
        pages.push_back(page->Name());
    }
    EXPECT_EQ(pages, (Names{"SUBMAIN_MAIN", "SUBMAIN_SCHEDULE", "SUBMAIN_LIVEUPDATE", "SUBMAIN_SUPPORT"}));
    EXPECT_EQ(VisiblePage(dialog), "SUBMAIN_MAIN");
    EXPECT_EQ(DisabledButtons(dialog), Names{"BUTTON_MAIN"});
    EXPECT_EQ(dialog.Buttons().size(), 6u);
    EXPECT_EQ(LastSubScreen, dialog.SubScreens().back().get());
    EXPECT_EQ(SkinPath, dialog.SkinFile());
    EXPECT_NE(SkinPath.find("\\skin\\Skin.ini"), std::string::npos);

    // Only the schedule page asks for a list: id 1010, three columns.
    for (const auto& page : dialog.SubScreens()) {
        EXPECT_EQ(page->ScheduleList() != nullptr, page->Name() == "SUBMAIN_SCHEDULE") << page->Name();
    }
    const winui::ReportView* list = dialog.FindSubScreen("SUBMAIN_SCHEDULE")->ScheduleList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GetDlgCtrlID(list->Hwnd()), 1010);
    EXPECT_EQ(list->ColumnCount(), 3);
    EXPECT_EQ(list->ColumnTitle(2), "Last run");

    // The animation: id 100, where the skin puts it, playing.
    HWND animation = GetDlgItem(dialog.Hwnd(), 100);
    ASSERT_NE(animation, nullptr);
    RECT place{};
    GetWindowRect(animation, &place);
    MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 20);
    EXPECT_EQ(place.top, 296);
    EXPECT_TRUE(main.dialog->Animation().IsPlaying());
    // Without "scan" no scan starts.
    EXPECT_EQ(main.log.scansStarted, 0);
}

TEST(MainWindow, MouseClicksOnThePageButtonsSwitchPages) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CMainDlg& dialog = *main.dialog;
    const std::pair<const char*, const char*> order[] = {{"BUTTON_SCHEDULE", "SUBMAIN_SCHEDULE"},
                                                         {"BUTTON_LIVEUPDATE", "SUBMAIN_LIVEUPDATE"},
                                                         {"BUTTON_SUPPORT", "SUBMAIN_SUPPORT"},
                                                         {"BUTTON_MAIN", "SUBMAIN_MAIN"}};
    for (const auto& [button, page] : order) {
        apptest::ClickWithMouse(dialog.FindButton(button)->Hwnd());
        EXPECT_TRUE(PumpUntil([&, page = page] { return VisiblePage(dialog) == page; })) << button;
        EXPECT_EQ(DisabledButtons(dialog), Names{button});
    }
    // A click on the page shown already changes nothing: its button is disabled.
    apptest::ClickWithMouse(dialog.FindButton("BUTTON_MAIN")->Hwnd());
    apptest::PumpFor(200);
    EXPECT_EQ(VisiblePage(dialog), "SUBMAIN_MAIN");
    // Each shown page shows its scan button (the main page has one).
    EXPECT_TRUE(dialog.FindSubScreen("SUBMAIN_MAIN")->FindButton("BUTTON_SCAN")->IsVisible());
}

TEST(MainWindow, MouseClickLeavesNoPageButtonPushed) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CMainDlg& dialog = *main.dialog;
    for (const char* button : {"BUTTON_SCHEDULE", "BUTTON_MAIN"}) {
        apptest::ClickWithMouse(dialog.FindButton(button)->Hwnd());
        EXPECT_TRUE(PumpUntil([&] { return DisabledButtons(dialog) == Names{button}; })) << button;
        // Each button shows its normal or disabled picture again, not the pressed one.
        for (const auto& each : dialog.Buttons()) {
            EXPECT_EQ(each->Send(BM_GETSTATE) & BST_PUSHED, 0) << each->Name() << " after " << button;
        }
    }
}

TEST(MainWindow, ExitButtonEndsTheWindow) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    main.dialog->ButtonPressed("BUTTON_EXIT");
    EXPECT_FALSE(main.dialog->IsWindow());
}

TEST(MainWindow, UnknownButtonNamesDoNothing) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    for (const char* name : {"button_schedule", "BUTTON_SCHEDULE ", "BUTTON_SCAN", ""}) {
        main.dialog->ButtonPressed(name);
    }
    EXPECT_EQ(VisiblePage(*main.dialog), "SUBMAIN_MAIN");
    EXPECT_TRUE(main.dialog->IsVisible());
}

TEST(MainWindow, MenuCommandsShowTheirPage) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CMainDlg& dialog = *main.dialog;
    const struct {
        UINT id;
        const char* page;
        const char* button;
    } commands[] = {{ID_TRAY_SCHEDULE, "SUBMAIN_SCHEDULE", "BUTTON_SCHEDULE"},
                    {ID_TRAY_LIVEUPDATE, "SUBMAIN_LIVEUPDATE", "BUTTON_LIVEUPDATE"},
                    {ID_TRAY_SUPPORT, "SUBMAIN_SUPPORT", "BUTTON_SUPPORT"}};
    for (const auto& command : commands) {
        dialog.Show(SW_HIDE);
        Command(dialog, command.id);
        EXPECT_TRUE(dialog.IsVisible()) << command.page;
        EXPECT_EQ(VisiblePage(dialog), command.page);
        EXPECT_EQ(DisabledButtons(dialog), Names{command.button});
    }

    // Run: back on the main page, and the last page is asked for a scan.
    dialog.Show(SW_HIDE);
    Command(dialog, ID_TRAY_RUN);
    EXPECT_TRUE(dialog.IsVisible());
    EXPECT_EQ(VisiblePage(dialog), "SUBMAIN_MAIN");
    EXPECT_EQ(DisabledButtons(dialog), Names{"BUTTON_MAIN"});
    EXPECT_EQ(main.log.scansStarted, 1);
    EXPECT_EQ(main.log.scanPanel, dialog.SubScreens().back()->Hwnd());
    EXPECT_EQ(main.log.scanSkinPath, SkinPath);
    EXPECT_TRUE(ScanDialogOpen);
    // Run while a scan dialog is open brings the window forward but starts no second one.
    dialog.Show(SW_HIDE);
    Command(dialog, ID_TRAY_RUN);
    EXPECT_TRUE(dialog.IsVisible());
    EXPECT_EQ(main.log.scansStarted, 1);

    // Show only shows.
    dialog.Show(SW_HIDE);
    Command(dialog, ID_TRAY_SHOW);
    EXPECT_TRUE(dialog.IsVisible());
    EXPECT_EQ(VisiblePage(dialog), "SUBMAIN_MAIN");

    Command(dialog, ID_TRAY_CLOSE);
    EXPECT_FALSE(dialog.IsWindow());
}

TEST(MainWindow, MinimisingHidesAndADoubleClickOnTheIconRestores) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CMainDlg& dialog = *main.dialog;
    const HWND window = dialog.Hwnd();

    dialog.ButtonPressed("BUTTON_MINIMIZE");
    EXPECT_FALSE(IsWindowVisible(window));
    // Other mouse messages and other icon ids leave it hidden.
    dialog.Send(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDOWN);
    dialog.Send(WM_TRAYNOTIFY, kTrayIconId + 1, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(dialog.Send(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK), 1);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));

    // The window's own minimise command does the same.
    dialog.Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    dialog.Send(WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(VisiblePage(dialog), "SUBMAIN_MAIN");
}

TEST(MainWindow, EnterAndEscDoNothingWhileCloseEndsTheWindow) {
    // Keys are posted through the dialog's keyboard handling; Alt is bit 29 of a system key's lParam.
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool closes;
    } cases[] = {{"IDOK", WM_COMMAND, IDOK, 0, false},
                 {"IDCANCEL", WM_COMMAND, IDCANCEL, 0, false},
                 {"Enter", WM_KEYDOWN, VK_RETURN, 0, false},
                 {"Esc", WM_KEYDOWN, VK_ESCAPE, 0, false},
                 {"WM_CLOSE", WM_CLOSE, 0, 0, true},
                 {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, 0, true},
                 {"Alt+F4", WM_SYSKEYDOWN, VK_F4, 0x20000000, true}};
    for (const auto& each : cases) {
        MainWindow main;
        ASSERT_TRUE(main.open) << each.what;
        const HWND window = main.dialog->Hwnd();
        PostMessageA(window, each.message, each.wParam, each.lParam);
        if (each.message == WM_KEYDOWN || each.message == WM_SYSKEYDOWN) {
            PostMessageA(window, each.message + 1, each.wParam, each.lParam | 0xC0000000);
        }
        apptest::PumpUntil([&] { return !IsWindow(window); }, each.closes ? 2000 : 100);
        EXPECT_EQ(!main.dialog->IsWindow(), each.closes) << each.what;
    }
}

namespace {

// A key pressed on whichever window has the focus, through the dialog's keyboard handling.
void PressKey(WPARAM key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 0);
    PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000000);
    apptest::PumpFor(60);
}

// One row of the button's pixels, two pixels below its top edge: where the focus mark runs.
std::vector<COLORREF> MarkRow(HWND button) {
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    std::vector<COLORREF> row;
    const HDC dc = GetDC(button);
    for (int x = 4; x < 30; ++x) {
        row.push_back(GetPixel(dc, x, 2));
    }
    ReleaseDC(button, dc);
    return row;
}

} // namespace

TEST(MainWindow, TabVisitsTheButtonsInReadingOrderAndSpacePresses) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CMainDlg& dialog = *main.dialog;
    const auto button = [&](const char* name) {
        const CSkinButton* found = dialog.FindButton(name);
        return (found ? found : dialog.SubScreens().front()->FindButton(name))->Hwnd();
    };
    SetFocus(button("BUTTON_MINIMIZE"));
    const std::vector<COLORREF> unmarked = MarkRow(button("BUTTON_EXIT"));
    // The disabled page button is skipped; the page's own buttons follow the frame's.
    for (const char* name : {"BUTTON_EXIT", "BUTTON_SCHEDULE", "BUTTON_LIVEUPDATE", "BUTTON_SUPPORT",
                             "BUTTON_SCAN", "BUTTON_RESTORE", "BUTTON_MINIMIZE"}) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), button(name)) << name;
        if (GetFocus() == button("BUTTON_EXIT")) {
            EXPECT_NE(MarkRow(GetFocus()), unmarked) << "no focus mark";
        }
    }
    SetFocus(button("BUTTON_SCHEDULE"));
    PressKey(VK_RETURN); // Enter stays inert even on a focused button
    EXPECT_EQ(VisiblePage(dialog), "SUBMAIN_MAIN");
    PressKey(VK_SPACE);
    EXPECT_EQ(VisiblePage(dialog), "SUBMAIN_SCHEDULE");
}

TEST(MainWindow, SystemMenuCommandsSixteenToThirtyOneOpenTheAboutBox) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    apptest::TestMainDlg& dialog = *main.dialog;

    const HMENU menu = GetSystemMenu(dialog.Hwnd(), FALSE);
    ASSERT_NE(menu, nullptr);
    char text[64] = {};
    EXPECT_GT(GetMenuStringA(menu, kAboutCommand, text, sizeof text, MF_BYCOMMAND), 0);
    EXPECT_STREQ(text, "&About Brindle...");

    for (UINT id = 16; id <= 31; ++id) {
        dialog.Send(WM_SYSCOMMAND, id, 0);
    }
    EXPECT_EQ(dialog.aboutBoxes, 16);
    dialog.Send(WM_SYSCOMMAND, 15, 0);
    dialog.Send(WM_SYSCOMMAND, 32, 0);
    EXPECT_EQ(dialog.aboutBoxes, 16);
    EXPECT_TRUE(dialog.IsVisible());
}

TEST(MainWindow, AnimationStopsAndPlaysOnRequest) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CMainDlg& dialog = *main.dialog;
    EXPECT_EQ(dialog.Send(WM_STOPFLASH, 7, 9), 0);
    EXPECT_FALSE(dialog.Animation().IsPlaying());
    EXPECT_EQ(dialog.Send(WM_PLAYFLASH), 0);
    EXPECT_TRUE(dialog.Animation().IsPlaying());
}

TEST(MainWindow, PressingTheBackgroundStartsAMoveButPressingAButtonDoesNot) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    CMainDlg& dialog = *main.dialog;
    // A press on the background is turned into a press on the caption.
    dialog.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 20));
    MSG posted{};
    EXPECT_TRUE(PeekMessageA(&posted, dialog.Hwnd(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(posted.wParam, static_cast<WPARAM>(HTCAPTION));
    // A press on a button stays with the button.
    const HWND button = dialog.FindButton("BUTTON_SUPPORT")->Hwnd();
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(PeekMessageA(&posted, dialog.Hwnd(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(-50, -50)); // released outside: no click
    ReleaseCapture();
    EXPECT_EQ(VisiblePage(dialog), "SUBMAIN_MAIN");
    // Pages are transparent to the mouse: a press on a page's background reaches the main window.
    const CSubMainSkin* page = dialog.FindSubScreen("SUBMAIN_MAIN");
    EXPECT_EQ(page->Send(WM_NCHITTEST, 0, MAKELPARAM(400, 400)), HTTRANSPARENT);
}

namespace {

// What a timer saw of a modal window (an About box or a popup menu) before it closed it.
struct Seen {
    std::vector<std::string> texts;
    HWND window = nullptr;
    RECT place{};
};
Seen seen;

BOOL CALLBACK CollectText(HWND child, LPARAM) {
    char text[128] = {};
    GetWindowTextA(child, text, sizeof text);
    seen.texts.push_back(text);
    return TRUE;
}

// Closes the About box with its OK button once it is up.
void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND about = FindWindowA("#32770", "About Brindle");
    if (!about) {
        return;
    }
    KillTimer(nullptr, timer);
    seen.window = about;
    GetWindowRect(about, &seen.place);
    EnumChildWindows(about, &CollectText, 0);
    PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(about, IDOK)));
}

// Reads the popup menu's items once it is up, then closes it.
void CALLBACK CloseTrayMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow)) {
        return;
    }
    KillTimer(nullptr, timer);
    seen.window = menuWindow;
    const auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        seen.texts.push_back(text);
        if (const HMENU sub = GetSubMenu(menu, i)) {
            for (int j = 0; j < GetMenuItemCount(sub); ++j) {
                seen.texts.push_back(std::to_string(GetMenuItemID(sub, j)));
            }
        }
    }
    EndMenu();
}

} // namespace

TEST(MainWindow, AboutEntryOpensTheAboutBox) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    main.dialog->realAboutBox = true;
    seen = {};
    SetTimer(nullptr, 0, 50, &CloseAboutBox);
    main.dialog->Send(WM_SYSCOMMAND, kAboutCommand, 0);
    ASSERT_NE(seen.window, nullptr);
    EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "Brindle Version 1.0"), seen.texts.end());
    EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "OK"), seen.texts.end());
    EXPECT_FALSE(IsWindow(seen.window));
    EXPECT_TRUE(main.dialog->IsVisible());
    // Centred over the main window.
    RECT window{};
    GetWindowRect(main.dialog->Hwnd(), &window);
    EXPECT_NEAR((seen.place.left + seen.place.right) / 2, (window.left + window.right) / 2, 1);
    EXPECT_NEAR((seen.place.top + seen.place.bottom) / 2, (window.top + window.bottom) / 2, 1);
}

TEST(MainWindow, RightClickOnTheIconShowsThePopupMenu) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    seen = {};
    SetTimer(nullptr, 0, 50, &CloseTrayMenu);
    main.dialog->Send(WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONUP);
    ASSERT_NE(seen.window, nullptr);
    EXPECT_EQ(seen.texts, (Names{"Show", "", "Orvalin", "32774", "32775", "32776", "32777", "", "Close"}));
    // Nothing was chosen: the window is as it was.
    apptest::PumpFor(50);
    EXPECT_EQ(VisiblePage(*main.dialog), "SUBMAIN_MAIN");
    EXPECT_TRUE(main.dialog->IsVisible());
}
