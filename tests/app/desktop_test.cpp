// The window among the desktop's: the notification-area icon after the shell restarts, minimising only
// into an icon that exists, and one copy per user with a later start handed to the running window.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/single_instance.h"
#include "main_window_harness.h"
#include "skin/app_state.h"
#include "support/test_paths.h"

using apptest::MainWindow;
using apptest::PumpUntil;
using apptest::VisiblePage;

TEST(Desktop, TrayIconComesBackWithTheShellAndMinimiseHidesOnlyIntoIt) {
    MainWindow main;
    ASSERT_TRUE(main.open);
    auto& dialog = *main.dialog;
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    EXPECT_TRUE(dialog.HasTrayIcon());

    const struct {
        bool shellTakesTheIcon;
        bool hiddenWhenMinimised;
    } cases[] = {{false, false}, {true, true}};
    for (const auto& c : cases) {
        dialog.trayAvailable = c.shellTakesTheIcon;
        dialog.Send(taskbarCreated, 0, 0);
        EXPECT_EQ(dialog.HasTrayIcon(), c.shellTakesTheIcon);
        dialog.Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        // Without an icon the window stays on the taskbar, minimised but never stranded.
        EXPECT_EQ(IsWindowVisible(dialog.Hwnd()) == FALSE, c.hiddenWhenMinimised) << c.shellTakesTheIcon;
        dialog.Show(SW_RESTORE);
    }
}

TEST(Desktop, OneCopyPerUserAndALaterStartIsHandedToIt) {
    const std::string name = InstanceName("TEST\\" + testsupport::UniqueName("user"));
    EXPECT_EQ(name.find('\\'), std::string::npos);
    {
        const SingleInstance first(name);
        const SingleInstance second(name);
        const SingleInstance otherUser(name + "2");
        EXPECT_TRUE(first.First());
        EXPECT_FALSE(second.First());
        EXPECT_TRUE(otherUser.First());
    }
    EXPECT_TRUE(SingleInstance(name).First()); // released with its holder

    EXPECT_FALSE(HandOver(name, false)); // no window marked yet
    MainWindow main;
    ASSERT_TRUE(main.open);
    auto& dialog = *main.dialog;
    MarkInstanceWindow(dialog.Hwnd(), name);
    EXPECT_EQ(FindInstanceWindow(name), dialog.Hwnd());

    dialog.Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(HandOver(name, false));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog.Hwnd()) != FALSE; }));
    EXPECT_EQ(main.log.scansStarted, 0);

    dialog.SwitchToPage("SUBMAIN_SCHEDULE", "BUTTON_SCHEDULE");
    ASSERT_TRUE(HandOver(name, true));
    EXPECT_TRUE(PumpUntil([&] { return main.log.scansStarted == 1; }));
    EXPECT_EQ(VisiblePage(dialog), "SUBMAIN_MAIN");
    RemovePropA(dialog.Hwnd(), name.c_str());
}
