// The schedule, live-update and support buttons with the program's own operations: the real Add Schedule
// dialog and the test prefix's real scheduler (under a work item of the test's own), the shell recorded.
#include "support/list_selection.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/panel_commands.h"
#include "app/schedule_commands.h"
#include "app/support_address.h"
#include "main_window_harness.h"
#include "resource.h"
#include "scheduler/modal_driver.h"
#include "scheduler/test_work_item.h"
#include "scheduler/trigger.h"
#include "scheduler/trigger_text.h"
#include "skin/app_state.h"
#include "support/test_paths.h"
#include "winui/message_loop.h"

using testsupport::MakeTime;

namespace {

class RecordingShell final : public ShellOpener {
public:
    bool Open(const std::string& file) override {
        opened.push_back(file);
        return result;
    }
    std::vector<std::string> opened;
    bool result = true;
};

// The main window with the program's schedule and shell operations on the test's work item.
class SchedulePage : public ::testing::Test {
protected:
    SchedulePage() : directory(testsupport::SourcePath("")) {
        ScanAtStartup = false;
        ScanDialogOpen = false;
        g_pSummary = nullptr;
        PanelCommands commands;
        SetScheduleCommands(commands, {&boxes, item.Name(), &shell, &programFolder});
        dialog = std::make_unique<apptest::TestMainDlg>(boxes, std::move(commands));
        open = dialog->CreateModeless(nullptr) && dialog->IsWindow();
        if (open) {
            dialog->Show(SW_SHOW);
            apptest::PumpFor(50);
        }
    }
    ~SchedulePage() override {
        dialog.reset();
        winui::PumpWaitingMessages();
    }

    CSubMainSkin& Page(const char* name) {
        CSubMainSkin* page = dialog->FindSubScreen(name);
        EXPECT_NE(page, nullptr) << name;
        return *page;
    }

    // BUTTON_ADDSCHEDULE, with the dialog's pickers, frequency and OK worked as a user would.
    void AddThroughDialog(CSubMainSkin& page, const SYSTEMTIME& date, const SYSTEMTIME& time,
                          int frequencyId) {
        testsupport::ModalDriver driver("Add Schedule", [&](HWND window) {
            testsupport::SetPicker(window, IDC_DATE, date);
            testsupport::SetPicker(window, IDC_TIME, time);
            SendDlgItemMessageA(window, frequencyId, BM_CLICK, 0, 0);
            SendDlgItemMessageA(window, IDOK, BM_CLICK, 0, 0);
        });
        page.ButtonPressed("BUTTON_ADDSCHEDULE");
        EXPECT_TRUE(driver.Acted());
    }

    std::vector<TASK_TRIGGER> StoredSchedules() {
        testsupport::StoredWorkItem stored;
        EXPECT_EQ(testsupport::ReadStoredWorkItem(item.Name(), stored), S_OK);
        std::vector<TASK_TRIGGER> schedules;
        for (const TASK_TRIGGER& trigger : stored.triggers) {
            if (scheduler::IsScheduleTrigger(trigger)) {
                schedules.push_back(trigger);
            }
        }
        return schedules;
    }

    static bool QuitPosted(WPARAM& code) {
        MSG quit{};
        if (!PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            return false;
        }
        code = quit.wParam;
        return true;
    }

    const std::string programFolder = "C:\\Program Files\\Orvalin\\";
    testsupport::TestWorkItem item; // first in, last out: removed after the window is gone
    apptest::RecordingBoxes boxes;
    RecordingShell shell;
    apptest::CurrentDirectory directory;
    std::unique_ptr<apptest::TestMainDlg> dialog;
    bool open = false;
};

} // namespace

TEST(ProgramCommands, EveryPageOperationIsFilled) {
    const PanelCommands commands = MakePanelCommands();
    EXPECT_TRUE(commands.addSchedule);
    EXPECT_TRUE(commands.listSchedule);
    EXPECT_TRUE(commands.deleteSchedule);
    EXPECT_TRUE(commands.startLiveUpdate);
    EXPECT_TRUE(commands.openSupportPage);
}

TEST_F(SchedulePage, AddListAndDeleteOnTheRealScheduler) {
    ASSERT_TRUE(open);
    CSubMainSkin& page = Page("SUBMAIN_SCHEDULE");
    ASSERT_NE(page.ScheduleList(), nullptr);
    const winui::ReportView& list = *page.ScheduleList();
    page.RefreshScheduleList();
    EXPECT_EQ(list.ItemCount(), 0); // no work item yet

    AddThroughDialog(page, MakeTime(2027, 3, 4, 0, 0, 0), MakeTime(2027, 3, 4, 9, 30, 27), IDC_DAILY);
    AddThroughDialog(page, MakeTime(2027, 3, 5, 0, 0, 0), MakeTime(2027, 3, 5, 8, 0, 0), IDC_ONCE);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "Schedule Creation Success!!");
    EXPECT_EQ(boxes.shown[1].text, "Schedule Creation Success!!");

    // The list was refreshed after each add: one row per schedule, never run.
    std::vector<TASK_TRIGGER> schedules = StoredSchedules();
    ASSERT_EQ(schedules.size(), 2u);
    ASSERT_EQ(list.ItemCount(), 2);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(list.ItemText(row, 0), std::to_string(row + 1));
        EXPECT_EQ(list.ItemText(row, 1), scheduler::DescribeTrigger(schedules[static_cast<size_t>(row)]));
        EXPECT_EQ(list.ItemText(row, 2), "Never");
    }
    EXPECT_EQ(schedules[0].wStartHour, 9);
    EXPECT_EQ(schedules[0].wStartMinute, 30);

    // Cancel in the question keeps the schedule; OK deletes the selected row's.
    testsupport::SelectOnly(list, 0);
    boxes.answer = IDCANCEL;
    page.ButtonPressed("BUTTON_DELETESCHEDULE");
    EXPECT_EQ(StoredSchedules().size(), 2u);
    EXPECT_EQ(list.ItemCount(), 2);
    boxes.answer = IDOK;
    page.ButtonPressed("BUTTON_DELETESCHEDULE");
    ASSERT_EQ(boxes.shown.size(), 4u);
    EXPECT_EQ(boxes.shown[2].text, "Are You Sure");
    EXPECT_EQ(boxes.shown[3].caption, "Delete Scheduled Task");

    schedules = StoredSchedules();
    ASSERT_EQ(schedules.size(), 1u);
    EXPECT_EQ(schedules[0].wBeginDay, 5);
    ASSERT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(list.ItemText(0, 0), "1");
    EXPECT_EQ(list.ItemText(0, 1), scheduler::DescribeTrigger(schedules[0]));

    // The last one goes too; the work item stays, with nothing to show.
    testsupport::SelectOnly(list, 0);
    page.ButtonPressed("BUTTON_DELETESCHEDULE");
    EXPECT_TRUE(item.Exists());
    EXPECT_TRUE(StoredSchedules().empty());
    EXPECT_EQ(list.ItemCount(), 0);
}

TEST_F(SchedulePage, LiveUpdateAnsweredNoKeepsTheProgramRunning) {
    ASSERT_TRUE(open);
    boxes.answer = IDNO;
    Page("SUBMAIN_LIVEUPDATE").ButtonPressed("BUTTON_RUNUPDATE");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Orvalin");
    EXPECT_TRUE(shell.opened.empty());
    WPARAM code = 0;
    EXPECT_FALSE(QuitPosted(code));
    EXPECT_TRUE(dialog->IsWindow());
    EXPECT_TRUE(dialog->IsVisible());
}

TEST_F(SchedulePage, LiveUpdateAnsweredYesStartsTheProgramAndQuitsWithEighteen) {
    ASSERT_TRUE(open);
    boxes.answer = IDYES;
    Page("SUBMAIN_LIVEUPDATE").ButtonPressed("BUTTON_RUNUPDATE");
    // By full path beside the program, never by a search that starts in the current folder.
    const std::string updater = programFolder + "OrvalinLiveUpdate.exe";
    EXPECT_EQ(shell.opened, std::vector<std::string>{updater});
    WPARAM code = 0;
    ASSERT_TRUE(QuitPosted(code));
    EXPECT_EQ(code, 18u);

    // One that cannot be started is said, and the program stays.
    shell.result = false;
    Page("SUBMAIN_LIVEUPDATE").ButtonPressed("BUTTON_RUNUPDATE");
    EXPECT_EQ(shell.opened.size(), 2u);
    EXPECT_FALSE(QuitPosted(code));
    ASSERT_EQ(boxes.shown.size(), 3u); // the question twice, then the failure
    EXPECT_EQ(boxes.shown[2].text, "The live update program could not be started:\n" + updater);
}

TEST_F(SchedulePage, SupportOpensTheSupportAddress) {
    ASSERT_TRUE(open);
    Page("SUBMAIN_SUPPORT").ButtonPressed("BUTTON_SUPPORT");
    EXPECT_EQ(shell.opened, std::vector<std::string>{kSupportAddress});
    EXPECT_TRUE(boxes.shown.empty());

    // Without a browser the address is shown, so it can still be copied.
    shell.result = false;
    Page("SUBMAIN_SUPPORT").ButtonPressed("BUTTON_SUPPORT");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              std::string("The support page could not be opened. Its address is:\n") + kSupportAddress);
}
