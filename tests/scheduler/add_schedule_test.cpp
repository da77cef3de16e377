// OK in the Add Schedule dialog, on the test prefix's real scheduler.
#include "scheduler/add_schedule.h"
#include "scheduler/schedule_page.h"
#include "scheduler/task_operations.h"
#include "scheduler/test_work_item.h"
#include "scheduler/trigger.h"
#include "support/recording_boxes.h"

#include <gtest/gtest.h>

using namespace scheduler;

namespace {

ScheduleRequest Request(WORD year, WORD month, WORD day, WORD hour, WORD minute, int frequency) {
    ScheduleRequest request;
    request.date.wYear = year;
    request.date.wMonth = month;
    request.date.wDay = day;
    // The date picker's own time of day must not leak into the start.
    request.date.wHour = 3;
    request.date.wMinute = 33;
    request.time.wYear = 1999; // and the time picker's date neither
    request.time.wHour = hour;
    request.time.wMinute = minute;
    request.time.wSecond = 42;
    request.time.wMilliseconds = 789;
    request.frequency = frequency;
    return request;
}

class AddScheduleTest : public ::testing::Test {
protected:
    AddScheduleTest() {
        target.taskName = item.Name();
        target.programPath = "C:\\Program Files\\Orvalin\\orvalin.exe";
        target.startingDir = "C:\\Program Files\\Orvalin";
        target.account = CurrentUserName();
    }

    ScheduleOutcome Add(const ScheduleRequest& request) {
        const ScheduleOutcome outcome = AddSchedule(request, target).outcome;
        ReportOutcome(boxes, nullptr, outcome);
        return outcome;
    }

    std::vector<TASK_TRIGGER> StoredSchedules() {
        testsupport::StoredWorkItem stored;
        EXPECT_EQ(testsupport::ReadStoredWorkItem(item.Name(), stored), S_OK);
        std::vector<TASK_TRIGGER> schedules;
        for (const TASK_TRIGGER& trigger : stored.triggers) {
            if (IsScheduleTrigger(trigger)) {
                schedules.push_back(trigger);
            }
        }
        return schedules;
    }

    testsupport::TestWorkItem item;
    ScheduleTarget target;
    testsupport::RecordingBoxes boxes;
};

} // namespace

TEST_F(AddScheduleTest, TheFirstScheduleCreatesTheWorkItemAndOneTrigger) {
    EXPECT_EQ(Add(Request(2027, 1, 2, 10, 15, kFrequencyWeekly)), ScheduleOutcome::Created);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Schedule Creation Success!!");
    EXPECT_EQ(boxes.shown[0].caption, "Orvalin");
    EXPECT_EQ(boxes.shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));

    testsupport::StoredWorkItem stored;
    ASSERT_EQ(testsupport::ReadStoredWorkItem(item.Name(), stored), S_OK);
    EXPECT_EQ(stored.application, target.programPath);
    EXPECT_EQ(stored.parameters, "scan");
    EXPECT_EQ(stored.workingDirectory, target.startingDir);
    const std::vector<TASK_TRIGGER> schedules = StoredSchedules();
    ASSERT_EQ(schedules.size(), 1u);
    EXPECT_EQ(schedules[0].wBeginYear, 2027);
    EXPECT_EQ(schedules[0].wBeginMonth, 1);
    EXPECT_EQ(schedules[0].wBeginDay, 2);
    EXPECT_EQ(schedules[0].wStartHour, 10); // hour and minute from the time, never seconds
    EXPECT_EQ(schedules[0].wStartMinute, 15);
    EXPECT_EQ(schedules[0].Type.Weekly.rgfDaysOfTheWeek, 0x40);

    std::vector<ScheduleRow> rows;
    ASSERT_TRUE(SUCCEEDED(ListScheduleRows(item.Name(), rows)));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].number, "1");
    EXPECT_EQ(rows[0].lastRun, "Never");
    EXPECT_NE(rows[0].description.find("Saturday"), std::string::npos);
}

TEST_F(AddScheduleTest, TheSameMinuteTwiceIsAlreadyScheduledWhateverTheFrequencyOrSeconds) {
    EXPECT_EQ(Add(Request(2027, 1, 2, 10, 15, kFrequencyOnce)), ScheduleOutcome::Created);
    EXPECT_EQ(Add(Request(2027, 1, 2, 10, 15, kFrequencyOnce)), ScheduleOutcome::AlreadyScheduled);
    ScheduleRequest monthlyLaterSeconds = Request(2027, 1, 2, 10, 15, kFrequencyMonthly);
    monthlyLaterSeconds.time.wSecond = 5;
    EXPECT_EQ(Add(monthlyLaterSeconds), ScheduleOutcome::AlreadyScheduled);
    EXPECT_EQ(Add(Request(2027, 1, 2, 10, 16, kFrequencyOnce)), ScheduleOutcome::Created);
    ASSERT_EQ(boxes.shown.size(), 4u);
    EXPECT_EQ(boxes.shown[0].text, "Schedule Creation Success!!");
    EXPECT_EQ(boxes.shown[1].text, "Already Scheduled For This Time!!");
    EXPECT_EQ(boxes.shown[2].text, "Already Scheduled For This Time!!");
    EXPECT_EQ(boxes.shown[3].text, "Schedule Creation Success!!");
    EXPECT_EQ(StoredSchedules().size(), 2u);
}

TEST_F(AddScheduleTest, AScheduleAtTheMinuteOfCreationIsNotMistakenForTheSchedulersOwnTrigger) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    ScheduleRequest request;
    request.date = now;
    request.time = now;
    request.frequency = kFrequencyDaily;
    // The work item is created by this very call, so its disabled trigger has this minute too
    // (unless the minute turns over in between, which only makes the test easier).
    EXPECT_EQ(Add(request), ScheduleOutcome::Created);
    ASSERT_EQ(StoredSchedules().size(), 1u);
}

TEST_F(AddScheduleTest, YearZeroFailsAndCreatesNothing) {
    EXPECT_EQ(Add(Request(0, 1, 2, 10, 15, kFrequencyOnce)), ScheduleOutcome::Failed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Schedule Creation Failed!!");
    EXPECT_FALSE(item.Exists());
}

TEST_F(AddScheduleTest, AnUnreachableWorkItemIsReportedAsAFailure) {
    target.taskName = "Orvalin.Test"; // the scheduler refuses names with a dot
    const AddScheduleResult result = AddSchedule(Request(2027, 1, 2, 10, 15, kFrequencyOnce), target);
    EXPECT_EQ(result.outcome, ScheduleOutcome::Failed);
    EXPECT_TRUE(FAILED(result.error));
}

TEST_F(AddScheduleTest, DeletingFromThePageAsksFirstAndCancelKeepsTheSchedule) {
    ASSERT_EQ(
        AddScheduleAndReport(boxes, nullptr, Request(2027, 1, 2, 10, 15, kFrequencyDaily), target).outcome,
        ScheduleOutcome::Created);
    boxes.shown.clear();

    boxes.answer = IDCANCEL;
    EXPECT_FALSE(AskAndDeleteScheduleRow(boxes, nullptr, item.Name(), 0));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Are You Sure");
    EXPECT_EQ(boxes.shown[0].caption, "Delete Scheduled Task");
    EXPECT_EQ(boxes.shown[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(StoredSchedules().size(), 1u);

    EXPECT_FALSE(AskAndDeleteScheduleRow(boxes, nullptr, item.Name(), -1)); // no selection: no question
    EXPECT_EQ(boxes.shown.size(), 1u);

    boxes.answer = IDOK;
    EXPECT_TRUE(AskAndDeleteScheduleRow(boxes, nullptr, item.Name(), 0));
    EXPECT_TRUE(StoredSchedules().empty());
    EXPECT_TRUE(item.Exists());
}
