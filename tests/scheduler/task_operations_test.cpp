// The operations on the test prefix's real scheduler, each test on a work item of its own.
#include "scheduler/schedule_page.h"
#include "scheduler/task_operations.h"
#include "scheduler/test_work_item.h"
#include "scheduler/trigger.h"
#include "support/system_time.h"

#include <gtest/gtest.h>

using namespace scheduler;
using testsupport::StoredWorkItem;

namespace {

using testsupport::MakeTime;

CScheduledTask ScanSettings(const SYSTEMTIME& start, int frequency) {
    CScheduledTask settings;
    settings.SetProgramPath("C:\\Orvalin\\orvalin.exe");
    settings.SetParameters("scan");
    settings.SetStartingDir("C:\\Orvalin");
    settings.SetAccount("tester");
    settings.SetStartTime(start);
    settings.SetFrequency(frequency);
    return settings;
}

std::vector<TASK_TRIGGER> Schedules(const StoredWorkItem& item) {
    std::vector<TASK_TRIGGER> enabled;
    for (const TASK_TRIGGER& trigger : item.triggers) {
        if (IsScheduleTrigger(trigger)) {
            enabled.push_back(trigger);
        }
    }
    return enabled;
}

class TaskOperations : public ::testing::Test {
protected:
    testsupport::TestWorkItem item;
};

} // namespace

TEST_F(TaskOperations, SaveTaskStoresTheProgramItsArgumentAndFlagsWithoutSchedules) {
    ASSERT_EQ(SaveTask(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyDaily), item.Name()), S_OK);
    StoredWorkItem stored;
    ASSERT_EQ(testsupport::ReadStoredWorkItem(item.Name(), stored), S_OK);
    EXPECT_EQ(stored.application, "C:\\Orvalin\\orvalin.exe");
    EXPECT_EQ(stored.parameters, "scan");
    EXPECT_EQ(stored.workingDirectory, "C:\\Orvalin");
    EXPECT_EQ(stored.flags, 0x2001u); // interactive, while logged on; batteries or not
    EXPECT_TRUE(Schedules(stored).empty()); // at most the scheduler's own disabled trigger

    std::vector<ScheduleEntry> entries{{"stale", 7}};
    std::time_t lastRun = 123;
    EXPECT_TRUE(SUCCEEDED(ListSchedule(item.Name(), entries, lastRun)));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(lastRun, 0); // never ran
}

TEST_F(TaskOperations, AnExistingWorkItemIsReportedAndLeftAlone) {
    ASSERT_EQ(SaveTask(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyDaily), item.Name()), S_OK);
    CScheduledTask other = ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyDaily);
    other.SetProgramPath("C:\\elsewhere\\other.exe");
    EXPECT_EQ(SaveTask(other, item.Name()), kWorkItemExists);
    StoredWorkItem stored;
    ASSERT_EQ(testsupport::ReadStoredWorkItem(item.Name(), stored), S_OK);
    EXPECT_EQ(stored.application, "C:\\Orvalin\\orvalin.exe");
}

TEST_F(TaskOperations, MissingSettingsFailWithoutCreatingAnything) {
    const CScheduledTask noYear = ScanSettings(MakeTime(0, 1, 2, 10, 15), kFrequencyOnce);
    EXPECT_EQ(SaveTask(noYear, item.Name()), E_FAIL);
    EXPECT_EQ(AddTrigger(noYear, item.Name()), E_FAIL);
    CScheduledTask noProgram = ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce);
    noProgram.SetProgramPath("");
    EXPECT_EQ(SaveTask(noProgram, item.Name()), E_FAIL);
    EXPECT_EQ(SaveTask(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce), ""), E_FAIL);
    EXPECT_FALSE(item.Exists());

    // With the work item present, a trigger without a year is still refused.
    ASSERT_EQ(SaveTask(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce), item.Name()), S_OK);
    EXPECT_EQ(AddTrigger(noYear, item.Name()), E_FAIL);
    StoredWorkItem stored;
    ASSERT_EQ(testsupport::ReadStoredWorkItem(item.Name(), stored), S_OK);
    EXPECT_TRUE(Schedules(stored).empty());
}

TEST_F(TaskOperations, TriggersAreStoredWithTheirTypeData) {
    ASSERT_EQ(SaveTask(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyWeekly), item.Name()), S_OK);
    ASSERT_EQ(AddTrigger(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyWeekly), item.Name()), S_OK);
    ASSERT_EQ(AddTrigger(ScanSettings(MakeTime(2027, 1, 31, 8, 0), kFrequencyMonthly), item.Name()), S_OK);
    StoredWorkItem stored;
    ASSERT_EQ(testsupport::ReadStoredWorkItem(item.Name(), stored), S_OK);
    const std::vector<TASK_TRIGGER> schedules = Schedules(stored);
    ASSERT_EQ(schedules.size(), 2u);
    EXPECT_EQ(schedules[0].TriggerType, TASK_TIME_TRIGGER_WEEKLY);
    EXPECT_EQ(schedules[0].Type.Weekly.rgfDaysOfTheWeek, 0x40); // 2 January 2027 is a Saturday
    EXPECT_EQ(schedules[0].wStartHour, 10);
    EXPECT_EQ(schedules[0].wStartMinute, 15);
    EXPECT_EQ(schedules[1].TriggerType, TASK_TIME_TRIGGER_MONTHLYDATE);
    EXPECT_EQ(schedules[1].Type.MonthlyDate.rgfDays, 0x40000000u);
    EXPECT_EQ(schedules[1].Type.MonthlyDate.rgfMonths, 0xFFF);
}

TEST_F(TaskOperations, AddTriggerNeedsTheWorkItem) {
    EXPECT_EQ(AddTrigger(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce), item.Name()),
              kNoWorkItem);
    EXPECT_FALSE(item.Exists());
}

TEST_F(TaskOperations, FindTriggerComparesTheStartOnly) {
    ASSERT_EQ(SaveTask(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce), item.Name()), S_OK);
    ASSERT_EQ(AddTrigger(ScanSettings(MakeTime(2027, 1, 2, 9, 0), kFrequencyOnce), item.Name()), S_OK);
    ASSERT_EQ(AddTrigger(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyDaily), item.Name()), S_OK);
    std::vector<ScheduleEntry> entries;
    std::time_t lastRun = 0;
    ASSERT_TRUE(SUCCEEDED(ListSchedule(item.Name(), entries, lastRun)));
    ASSERT_EQ(entries.size(), 2u);

    int index = 99;
    EXPECT_EQ(FindTrigger(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyMonthly), item.Name(), index),
              S_OK);
    EXPECT_EQ(index, entries[1].triggerIndex);
    EXPECT_EQ(FindTrigger(ScanSettings(MakeTime(2027, 1, 2, 10, 16), kFrequencyDaily), item.Name(), index),
              S_OK);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(FindTrigger(ScanSettings(MakeTime(2027, 1, 3, 10, 15), kFrequencyDaily), item.Name(), index),
              S_OK);
    EXPECT_EQ(index, -1);
}

TEST_F(TaskOperations, MissingWorkItemsAndNamesFailAndLeaveNothingBehind) {
    std::vector<ScheduleEntry> entries{{"stale", 0}};
    std::time_t lastRun = 5;
    EXPECT_EQ(ListSchedule(item.Name(), entries, lastRun), kNoWorkItem);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(lastRun, 0);
    EXPECT_EQ(ListSchedule("", entries, lastRun), E_FAIL);
    int index = 3;
    EXPECT_EQ(FindTrigger(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce), item.Name(), index),
              kNoWorkItem);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(DeleteTrigger(item.Name(), 0), kNoWorkItem);
    EXPECT_EQ(DeleteTrigger("", 0), E_FAIL);
    EXPECT_FALSE(item.Exists());
}

TEST_F(TaskOperations, DeletingTheLastScheduleKeepsTheWorkItem) {
    ASSERT_EQ(SaveTask(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce), item.Name()), S_OK);
    ASSERT_EQ(AddTrigger(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce), item.Name()), S_OK);
    std::vector<ScheduleEntry> entries;
    std::time_t lastRun = 0;
    ASSERT_TRUE(SUCCEEDED(ListSchedule(item.Name(), entries, lastRun)));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(DeleteTrigger(item.Name(), entries[0].triggerIndex), S_OK);
    EXPECT_TRUE(item.Exists());
    EXPECT_TRUE(SUCCEEDED(ListSchedule(item.Name(), entries, lastRun)));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(DeleteTrigger(item.Name(), 40), SCHED_E_TRIGGER_NOT_FOUND);
    EXPECT_EQ(DeleteTrigger(item.Name(), -1), SCHED_E_TRIGGER_NOT_FOUND);
}

// A disabled trigger (the one the scheduler saves into a work item without triggers, or one
// written by another program) is not a schedule: it is not listed, found or deleted, and the rows
// after it delete the right trigger.
TEST_F(TaskOperations, DisabledTriggersAreSkippedAndRowsKeepTheirTriggerIndex) {
    ASSERT_EQ(SaveTask(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce), item.Name()), S_OK);
    ASSERT_EQ(AddTrigger(ScanSettings(MakeTime(2027, 1, 2, 9, 0), kFrequencyDaily), item.Name()), S_OK);
    TASK_TRIGGER disabled = BuildTrigger(ScanSettings(MakeTime(2027, 5, 5, 12, 0), kFrequencyOnce));
    disabled.rgFlags = TASK_TRIGGER_FLAG_DISABLED;
    ASSERT_EQ(testsupport::AppendRawTrigger(item.Name(), disabled), S_OK);
    ASSERT_EQ(AddTrigger(ScanSettings(MakeTime(2027, 1, 2, 18, 30), kFrequencyWeekly), item.Name()), S_OK);

    StoredWorkItem stored;
    ASSERT_EQ(testsupport::ReadStoredWorkItem(item.Name(), stored), S_OK);
    const WORD firstSchedule = static_cast<WORD>(stored.triggers.size() - 3);
    const WORD disabledIndex = static_cast<WORD>(stored.triggers.size() - 2);

    std::vector<ScheduleRow> rows;
    ASSERT_TRUE(SUCCEEDED(ListScheduleRows(item.Name(), rows)));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].number, "1");
    EXPECT_EQ(rows[0].triggerIndex, firstSchedule);
    EXPECT_EQ(rows[1].number, "2");
    EXPECT_EQ(rows[1].triggerIndex, disabledIndex + 1);
    EXPECT_EQ(rows[0].lastRun, "Never");
    EXPECT_EQ(rows[1].lastRun, "Never");

    int index = 0;
    EXPECT_EQ(FindTrigger(ScanSettings(MakeTime(2027, 5, 5, 12, 0), kFrequencyOnce), item.Name(), index),
              S_OK);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(DeleteTrigger(item.Name(), disabledIndex), SCHED_E_TRIGGER_NOT_FOUND);
    for (WORD i = 0; i < firstSchedule; ++i) { // the scheduler's own disabled trigger, if any
        EXPECT_EQ(DeleteTrigger(item.Name(), i), SCHED_E_TRIGGER_NOT_FOUND);
    }

    // A row that no longer shows what the page showed is never deleted.
    EXPECT_EQ(DeleteScheduleRow(item.Name(), 1, rows[0].description), SCHED_E_TRIGGER_NOT_FOUND);
    // Row 2 is the 18:30 schedule; deleting it leaves the 9:00 one and the disabled trigger.
    EXPECT_EQ(DeleteScheduleRow(item.Name(), 1, rows[1].description), S_OK);
    ASSERT_TRUE(SUCCEEDED(ListScheduleRows(item.Name(), rows)));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].triggerIndex, firstSchedule);
    StoredWorkItem after;
    ASSERT_EQ(testsupport::ReadStoredWorkItem(item.Name(), after), S_OK);
    EXPECT_EQ(after.triggers.size(), stored.triggers.size() - 1);
    EXPECT_EQ(Schedules(after)[0].wStartHour, 9);
    EXPECT_EQ(DeleteScheduleRow(item.Name(), 1), SCHED_E_TRIGGER_NOT_FOUND);
    EXPECT_EQ(DeleteScheduleRow(item.Name(), -1), SCHED_E_TRIGGER_NOT_FOUND);
}

// The scheduler's own trigger starts at the minute of saving; a schedule for that minute is new.
TEST_F(TaskOperations, TheSchedulersOwnTriggerDoesNotCountAsAScheduleAtItsMinute) {
    ASSERT_EQ(SaveTask(ScanSettings(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce), item.Name()), S_OK);
    StoredWorkItem stored;
    ASSERT_EQ(testsupport::ReadStoredWorkItem(item.Name(), stored), S_OK);
    if (stored.triggers.empty()) {
        GTEST_SKIP() << "this scheduler saves work items without a trigger of its own";
    }
    const TASK_TRIGGER& own = stored.triggers[0];
    EXPECT_FALSE(IsScheduleTrigger(own));
    int index = 0;
    const SYSTEMTIME ownStart =
        MakeTime(own.wBeginYear, own.wBeginMonth, own.wBeginDay, own.wStartHour, own.wStartMinute);
    EXPECT_EQ(FindTrigger(ScanSettings(ownStart, kFrequencyDaily), item.Name(), index), S_OK);
    EXPECT_EQ(index, -1);
}

TEST(ScheduleRows, NoWorkItemMeansNoRows) {
    testsupport::TestWorkItem item;
    std::vector<ScheduleRow> rows{{"1", "stale", "Never", 0}};
    EXPECT_EQ(ListScheduleRows(item.Name(), rows), kNoWorkItem);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(DeleteScheduleRow(item.Name(), 0), kNoWorkItem);
}
