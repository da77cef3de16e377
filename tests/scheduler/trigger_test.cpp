#include "scheduler/scheduled_task.h"
#include "scheduler/time_format.h"
#include "scheduler/trigger.h"
#include "scheduler/trigger_text.h"
#include "support/system_time.h"

#include <gtest/gtest.h>

using namespace scheduler;

namespace {

using testsupport::MakeTime;

constexpr LCID kEnglishUk = 0x0809; // dd/MM/yyyy and HH:mm:ss, so texts do not depend on the prefix

TASK_TRIGGER TriggerFor(const SYSTEMTIME& start, int frequency) {
    CScheduledTask settings;
    settings.SetStartTime(start);
    settings.SetFrequency(frequency);
    return BuildTrigger(settings);
}

} // namespace

TEST(ScheduledTask, StartTimeLosesSecondsAndResetClearsEverything) {
    CScheduledTask settings;
    EXPECT_FALSE(settings.HasStartTime());
    EXPECT_TRUE(settings.AccountWanted()); // the prefix is of the NT family
    settings.SetStartTime(MakeTime(2027, 1, 2, 10, 15, 42, 789));
    EXPECT_EQ(settings.StartTime().wSecond, 0);
    EXPECT_EQ(settings.StartTime().wMilliseconds, 0);
    EXPECT_EQ(settings.StartTime().wMinute, 15);
    settings.SetFrequency(kFrequencyDaily);
    settings.SetProgramPath("C:\\x.exe");
    settings.SetParameters("scan");
    settings.SetAccount("me");
    settings.Reset();
    EXPECT_FALSE(settings.HasStartTime());
    EXPECT_EQ(settings.Frequency(), 0);
    EXPECT_TRUE(settings.ProgramPath().empty());
    EXPECT_TRUE(settings.Parameters().empty());
    EXPECT_TRUE(settings.Account().empty());
}

TEST(ScheduledTask, TaskNameIsTheProductFollowedByTheLogonName) {
    char user[256] = {};
    DWORD size = sizeof user;
    ASSERT_TRUE(GetUserNameA(user, &size));
    EXPECT_EQ(GetScheduleTaskName(), std::string("Orvalin") + user);
}

TEST(ScheduledTask, UserNamesTheSchedulerWouldRefuseStillGiveAWorkItemName) {
    EXPECT_EQ(ScheduleTaskNameFor("Administrator"), "OrvalinAdministrator");
    EXPECT_EQ(ScheduleTaskNameFor("john.smith"), "Orvalinjohn_smith");
    EXPECT_EQ(ScheduleTaskNameFor("a\\b/c:d*e?f\"g<h>i|j"), "Orvalina_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(ScheduleTaskNameFor(""), "Orvalin");
}

TEST(BuildTrigger, CarriesTheStartAndNothingElse) {
    const TASK_TRIGGER trigger = TriggerFor(MakeTime(2027, 3, 4, 23, 59, 30), kFrequencyOnce);
    EXPECT_EQ(trigger.cbTriggerSize, 48);
    EXPECT_EQ(trigger.TriggerType, TASK_TIME_TRIGGER_ONCE);
    EXPECT_EQ(trigger.wBeginYear, 2027);
    EXPECT_EQ(trigger.wBeginMonth, 3);
    EXPECT_EQ(trigger.wBeginDay, 4);
    EXPECT_EQ(trigger.wStartHour, 23);
    EXPECT_EQ(trigger.wStartMinute, 59);
    EXPECT_EQ(trigger.wEndYear, 0);
    EXPECT_EQ(trigger.MinutesDuration, 0u);
    EXPECT_EQ(trigger.MinutesInterval, 0u);
    EXPECT_EQ(trigger.rgFlags, 0u);
    EXPECT_EQ(trigger.wRandomMinutesInterval, 0);
}

TEST(BuildTrigger, TypeAndTypeDataFollowTheFrequency) {
    const TASK_TRIGGER daily = TriggerFor(MakeTime(2027, 1, 2, 10, 15), kFrequencyDaily);
    EXPECT_EQ(daily.TriggerType, TASK_TIME_TRIGGER_DAILY);
    EXPECT_EQ(daily.Type.Daily.DaysInterval, 1);

    const TASK_TRIGGER saturday = TriggerFor(MakeTime(2027, 1, 2, 10, 15), kFrequencyWeekly); // a Saturday
    EXPECT_EQ(saturday.TriggerType, TASK_TIME_TRIGGER_WEEKLY);
    EXPECT_EQ(saturday.Type.Weekly.WeeksInterval, 1);
    EXPECT_EQ(saturday.Type.Weekly.rgfDaysOfTheWeek, 0x40);
    EXPECT_EQ(TriggerFor(MakeTime(2027, 1, 3, 10, 15), kFrequencyWeekly).Type.Weekly.rgfDaysOfTheWeek, 0x1);

    const TASK_TRIGGER monthly = TriggerFor(MakeTime(2027, 1, 31, 10, 15), kFrequencyMonthly);
    EXPECT_EQ(monthly.TriggerType, TASK_TIME_TRIGGER_MONTHLYDATE);
    EXPECT_EQ(monthly.Type.MonthlyDate.rgfDays, 0x40000000u);
    EXPECT_EQ(monthly.Type.MonthlyDate.rgfMonths, 0xFFF);
    EXPECT_EQ(TriggerFor(MakeTime(2027, 1, 1, 10, 15), kFrequencyMonthly).Type.MonthlyDate.rgfDays, 0x1u);

    EXPECT_EQ(TriggerFor(MakeTime(2027, 1, 2, 10, 15), 0).TriggerType, TASK_TIME_TRIGGER_ONCE);
    EXPECT_EQ(TriggerFor(MakeTime(2027, 1, 2, 10, 15), 9).TriggerType, TASK_TIME_TRIGGER_ONCE);
}

TEST(BuildTrigger, ImpossibleDatesDoNotOverflowTheDayFields) {
    EXPECT_EQ(WeekdayFlag(2027, 2, 30), 0);
    EXPECT_EQ(WeekdayFlag(2028, 2, 29), 0x4); // a Tuesday of a leap year
    EXPECT_EQ(TriggerFor(MakeTime(2027, 1, 40, 10, 15), kFrequencyMonthly).Type.MonthlyDate.rgfDays, 0u);
}

TEST(Trigger, DisabledTriggersAreNoScheduleAndStartsIgnoreFrequency) {
    TASK_TRIGGER trigger = TriggerFor(MakeTime(2027, 1, 2, 10, 15), kFrequencyWeekly);
    EXPECT_TRUE(IsScheduleTrigger(trigger));
    EXPECT_TRUE(StartsAt(trigger, MakeTime(2027, 1, 2, 10, 15, 59)));
    EXPECT_FALSE(StartsAt(trigger, MakeTime(2027, 1, 2, 10, 16)));
    EXPECT_FALSE(StartsAt(trigger, MakeTime(2028, 1, 2, 10, 15)));
    trigger.rgFlags = TASK_TRIGGER_FLAG_DISABLED;
    EXPECT_FALSE(IsScheduleTrigger(trigger));
}

TEST(DescribeTrigger, SaysWhenTheScanRuns) {
    EXPECT_EQ(DescribeTrigger(TriggerFor(MakeTime(2027, 1, 2, 10, 15), kFrequencyOnce), kEnglishUk),
              "At 10:15 on 02/01/2027");
    EXPECT_EQ(DescribeTrigger(TriggerFor(MakeTime(2027, 1, 2, 10, 15), kFrequencyDaily), kEnglishUk),
              "At 10:15 every day, starting 02/01/2027");
    EXPECT_EQ(DescribeTrigger(TriggerFor(MakeTime(2027, 1, 2, 10, 15), kFrequencyWeekly), kEnglishUk),
              "At 10:15 every Saturday of every week, starting 02/01/2027");
    EXPECT_EQ(DescribeTrigger(TriggerFor(MakeTime(2027, 1, 31, 7, 5), kFrequencyMonthly), kEnglishUk),
              "At 07:05 on day 31 of every month, starting 31/01/2027");
}

TEST(DescribeTrigger, DescribesTriggersWrittenByOtherPrograms) {
    TASK_TRIGGER trigger = TriggerFor(MakeTime(2027, 1, 2, 10, 15), kFrequencyWeekly);
    trigger.Type.Weekly.WeeksInterval = 2;
    trigger.Type.Weekly.rgfDaysOfTheWeek = 0x2 | 0x40;
    EXPECT_EQ(DescribeTrigger(trigger, kEnglishUk),
              "At 10:15 every Monday, Saturday of every 2 weeks, starting 02/01/2027");
    trigger = TriggerFor(MakeTime(2027, 1, 2, 10, 15), kFrequencyMonthly);
    trigger.Type.MonthlyDate.rgfDays = 0x1 | 0x4000;
    trigger.Type.MonthlyDate.rgfMonths = 0x1 | 0x800;
    EXPECT_EQ(DescribeTrigger(trigger, kEnglishUk),
              "At 10:15 on days 1, 15 of January, December, starting 02/01/2027");
    trigger.TriggerType = TASK_EVENT_TRIGGER_AT_LOGON;
    EXPECT_EQ(DescribeTrigger(trigger, kEnglishUk), "At logon");
    // Garbage from a damaged work item is still described, not crashed on.
    trigger = TriggerFor(MakeTime(0, 13, 40, 99, 99), kFrequencyOnce);
    EXPECT_FALSE(DescribeTrigger(trigger, kEnglishUk).empty());
    trigger.TriggerType = static_cast<TASK_TRIGGER_TYPE>(42);
    EXPECT_EQ(DescribeTrigger(trigger, kEnglishUk), "Unknown schedule");
}

TEST(FormatLastRun, NeverForTimeZeroOtherwiseTheLocalTime) {
    EXPECT_EQ(FormatLastRun(0), "Never");
    std::tm local{};
    local.tm_year = 2027 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 2;
    local.tm_hour = 10;
    local.tm_min = 15;
    local.tm_sec = 30;
    local.tm_isdst = -1;
    EXPECT_EQ(FormatLastRun(std::mktime(&local)), "10:15:30 02-01-27");
}

TEST(TimeFormatWithoutSeconds, DropsTheSecondsPartOnly) {
    EXPECT_EQ(TimeFormatWithoutSeconds("h:mm:ss tt", ":"), "h:mm tt");
    EXPECT_EQ(TimeFormatWithoutSeconds("HH:mm:ss", ":"), "HH:mm");
    EXPECT_EQ(TimeFormatWithoutSeconds("H.mm.s", "."), "H.mm");
    EXPECT_EQ(TimeFormatWithoutSeconds("tt hh:mm:ss", ":"), "tt hh:mm");
    // A format without seconds stays as it is.
    EXPECT_EQ(TimeFormatWithoutSeconds("h:mm tt", ":"), "h:mm tt");
    EXPECT_EQ(TimeFormatWithoutSeconds("", ":"), "");
    // The user's own format never keeps a seconds part.
    EXPECT_EQ(UserTimeFormatWithoutSeconds().find(":ss"), std::string::npos);
}
