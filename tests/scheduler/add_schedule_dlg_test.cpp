// The Add Schedule dialog on its real template, worked through its controls, on the test prefix's real
// scheduler under a work item of the test's own.
#include "scheduler/add_schedule.h"
#include "scheduler/add_schedule_dlg.h"
#include "scheduler/modal_driver.h"
#include "scheduler/test_work_item.h"
#include "scheduler/time_format.h"
#include "scheduler/trigger.h"
#include "support/recording_boxes.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>

#include "resource.h"

using namespace scheduler;
using testsupport::MakeTime;
using testsupport::ModalDriver;
using testsupport::SetPicker;

namespace {

std::vector<TASK_TRIGGER> StoredSchedules(const std::string& name) {
    testsupport::StoredWorkItem stored;
    EXPECT_EQ(testsupport::ReadStoredWorkItem(name, stored), S_OK);
    std::vector<TASK_TRIGGER> schedules;
    for (const TASK_TRIGGER& trigger : stored.triggers) {
        if (IsScheduleTrigger(trigger)) {
            schedules.push_back(trigger);
        }
    }
    return schedules;
}

// Runs the dialog modally; once it is up, sets both pickers, clicks a frequency button and then `finish`
// (a button id) or, for 0, presses Esc.
INT_PTR RunDialog(CAddScheduleDlg& dialog, const SYSTEMTIME& date, const SYSTEMTIME& time, int frequencyId,
                  int finish = IDOK) {
    ModalDriver driver("Add Schedule", [&](HWND window) {
        SetPicker(window, IDC_DATE, date);
        SetPicker(window, IDC_TIME, time);
        SendDlgItemMessageA(window, frequencyId, BM_CLICK, 0, 0);
        if (finish != 0) {
            SendDlgItemMessageA(window, finish, BM_CLICK, 0, 0);
        } else {
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        }
    });
    const INT_PTR result = dialog.RunModal(nullptr);
    EXPECT_TRUE(driver.Acted());
    return result;
}

std::string PickerText(HWND dialog, int id) {
    char text[128] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

} // namespace

TEST(AddScheduleDlg, OpensAnHourAheadAndOnceForTheRunningProgram) {
    testsupport::RecordingBoxes boxes;
    CAddScheduleDlg dialog(boxes, "unused");
    EXPECT_EQ(dialog.Frequency(), -1);
    SYSTEMTIME before{};
    GetLocalTime(&before);
    ASSERT_TRUE(dialog.CreateModeless(nullptr));

    EXPECT_EQ(dialog.Frequency(), 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog.Hwnd(), IDC_ONCE), static_cast<UINT>(BST_CHECKED));
    for (int id : {IDC_DAILY, IDC_WEEKLY, IDC_MONTHLY}) {
        EXPECT_EQ(IsDlgButtonChecked(dialog.Hwnd(), id), static_cast<UINT>(BST_UNCHECKED)) << id;
    }
    // One reading of the clock serves both pickers.
    EXPECT_EQ(std::memcmp(&dialog.Date(), &dialog.Time(), sizeof(SYSTEMTIME)), 0);
    // An hour ahead, so that OK with the opening values schedules a scan that can still run.
    FILETIME from{};
    FILETIME opened{};
    ASSERT_TRUE(SystemTimeToFileTime(&before, &from) && SystemTimeToFileTime(&dialog.Date(), &opened));
    const auto minutes = [](const FILETIME& t) {
        return ((static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 600000000LL;
    };
    EXPECT_NEAR(static_cast<double>(minutes(opened) - minutes(from)), 60.0, 1.0);
    SYSTEMTIME shown{};
    ASSERT_EQ(
        SendDlgItemMessageA(dialog.Hwnd(), IDC_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)),
        GDT_VALID);
    EXPECT_EQ(shown.wYear, dialog.Date().wYear);
    EXPECT_EQ(shown.wMonth, dialog.Date().wMonth);
    EXPECT_EQ(shown.wDay, dialog.Date().wDay);
    ASSERT_EQ(
        SendDlgItemMessageA(dialog.Hwnd(), IDC_TIME, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)),
        GDT_VALID);
    EXPECT_EQ(shown.wHour, dialog.Time().wHour);
    EXPECT_EQ(shown.wMinute, dialog.Time().wMinute);

    EXPECT_EQ(dialog.ProgramPath(), RunningProgramPath());
    EXPECT_EQ(dialog.StartingDir() + "\\scheduler_tests.exe", dialog.ProgramPath());
    EXPECT_EQ(dialog.Account(), SchedulerAccountName()); // "DOMAIN\user", as the scheduler names it
    EXPECT_NE(dialog.Account().find('\\'), std::string::npos);
    EXPECT_TRUE(dialog.TaskName().empty()); // named only on OK
    dialog.Destroy();
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(AddScheduleDlg, TimePickerShowsHoursAndMinutesOnly) {
    testsupport::RecordingBoxes boxes;
    CAddScheduleDlg dialog(boxes, "unused");
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    SYSTEMTIME time = MakeTime(2027, 1, 2, 10, 15, 42);
    SetPicker(dialog.Hwnd(), IDC_TIME, time);

    const std::string format = UserTimeFormatWithoutSeconds();
    ASSERT_EQ(format.find('s'), std::string::npos) << format;
    char expected[64] = {};
    ASSERT_GT(GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, format.c_str(), expected, sizeof expected), 0);
    const std::string text = PickerText(dialog.Hwnd(), IDC_TIME);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.find("42"), std::string::npos) << text;
    dialog.Destroy();
}

TEST(AddScheduleDlg, OkAddsThePickedScheduleAndTellsTheOutcome) {
    testsupport::TestWorkItem item;
    testsupport::RecordingBoxes boxes;
    {
        // 2 January 2027 is a Saturday; the picked seconds must neither reach the work item nor round up.
        CAddScheduleDlg dialog(boxes, item.Name());
        EXPECT_EQ(
            RunDialog(dialog, MakeTime(2027, 1, 2, 3, 33, 0), MakeTime(1999, 5, 6, 10, 15, 59), IDC_WEEKLY),
            IDOK);
        EXPECT_EQ(dialog.TaskName(), item.Name());
        EXPECT_EQ(dialog.Frequency(), 2);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "Schedule Creation Success!!");
        EXPECT_EQ(boxes.shown[0].caption, "Orvalin");
        EXPECT_EQ(boxes.shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));

        testsupport::StoredWorkItem stored;
        ASSERT_EQ(testsupport::ReadStoredWorkItem(item.Name(), stored), S_OK);
        EXPECT_EQ(stored.application, dialog.ProgramPath());
        EXPECT_EQ(stored.parameters, "scan");
        EXPECT_EQ(stored.workingDirectory, dialog.StartingDir());
    }
    std::vector<TASK_TRIGGER> schedules = StoredSchedules(item.Name());
    ASSERT_EQ(schedules.size(), 1u);
    EXPECT_EQ(schedules[0].wBeginYear, 2027);
    EXPECT_EQ(schedules[0].wBeginMonth, 1);
    EXPECT_EQ(schedules[0].wBeginDay, 2);
    EXPECT_EQ(schedules[0].wStartHour, 10);
    EXPECT_EQ(schedules[0].wStartMinute, 15);
    EXPECT_EQ(schedules[0].TriggerType, TASK_TIME_TRIGGER_WEEKLY);
    EXPECT_EQ(schedules[0].Type.Weekly.rgfDaysOfTheWeek, 0x40);

    // The same minute again, monthly this time: already scheduled, nothing added.
    {
        CAddScheduleDlg dialog(boxes, item.Name());
        EXPECT_EQ(
            RunDialog(dialog, MakeTime(2027, 1, 2, 0, 0, 0), MakeTime(2027, 1, 2, 10, 15, 1), IDC_MONTHLY),
            IDOK);
    }
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, "Already Scheduled For This Time!!");
    EXPECT_EQ(StoredSchedules(item.Name()).size(), 1u);

    // Another minute, daily: a second schedule.
    {
        CAddScheduleDlg dialog(boxes, item.Name());
        EXPECT_EQ(
            RunDialog(dialog, MakeTime(2027, 1, 31, 0, 0, 0), MakeTime(2027, 1, 2, 23, 59, 59), IDC_DAILY),
            IDOK);
    }
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[2].text, "Schedule Creation Success!!");
    schedules = StoredSchedules(item.Name());
    ASSERT_EQ(schedules.size(), 2u);
    EXPECT_EQ(schedules[1].wBeginDay, 31);
    EXPECT_EQ(schedules[1].wStartHour, 23);
    EXPECT_EQ(schedules[1].wStartMinute, 59);
    EXPECT_EQ(schedules[1].TriggerType, TASK_TIME_TRIGGER_DAILY);
}

TEST(AddScheduleDlg, CancelAndEscapeDoNothing) {
    testsupport::TestWorkItem item;
    testsupport::RecordingBoxes boxes;
    {
        CAddScheduleDlg dialog(boxes, item.Name());
        EXPECT_EQ(RunDialog(dialog, MakeTime(2027, 2, 3, 0, 0, 0), MakeTime(2027, 2, 3, 8, 0, 0), IDC_DAILY,
                            IDCANCEL),
                  IDCANCEL);
        EXPECT_TRUE(dialog.TaskName().empty());
    }
    {
        CAddScheduleDlg dialog(boxes, item.Name());
        EXPECT_EQ(
            RunDialog(dialog, MakeTime(2027, 2, 3, 0, 0, 0), MakeTime(2027, 2, 3, 8, 0, 0), IDC_DAILY, 0),
            IDCANCEL);
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(item.Exists());
}
