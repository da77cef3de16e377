// The console's schedule command. Malformed arguments are refused before the scheduler is touched;
// the operations run on a work item of the test's own, never the user's.
#include "cli/commands.h"
#include "scheduler/schedule_console.h"
#include "scheduler/test_work_item.h"
#include "support/recording_boxes.h"

#include <gtest/gtest.h>

using scheduler::ConsoleStatus;

namespace {

class ScheduleConsole : public ::testing::Test {
protected:
    ScheduleConsole() {
        target.taskName = item.Name();
        target.programPath = "C:\\Orvalin\\orvalin.exe";
        target.startingDir = "C:\\Orvalin";
        target.account = scheduler::CurrentUserName();
    }

    scheduler::ConsoleResult Run(const std::vector<std::string>& args) {
        out.clear();
        return scheduler::RunScheduleConsole(args, target, out, boxes);
    }

    testsupport::TestWorkItem item;
    scheduler::ScheduleTarget target;
    testsupport::RecordingBoxes boxes;
    std::string out;
};

} // namespace

TEST(ScheduleCommand, MalformedArgumentsAreUsageErrors) {
    const std::vector<cli::Args> malformed = {
        {},
        {"lsit"},
        {"list", "extra"},
        {"add"},
        {"add", "2027-01-02", "10:15"},
        {"add", "2027-01-02", "10:15", "hourly"},
        {"add", "2027-02-30", "10:15", "once"},
        {"add", "2027-1-2", "10:15", "once"},
        {"add", "0000-01-02", "10:15", "once"},
        {"add", "2027-01-02", "24:00", "once"},
        {"add", "2027-01-02", "10:60", "once"},
        {"add", "2027-01-02", "10:5", "once"},
        {"add", "2027-01-02", "10:15:30", "once"},
        {"add", "2027-01-02", "10:15", "once", "more"},
        {"delete"},
        {"delete", "0"},
        {"delete", "-1"},
        {"delete", "x"},
        {"delete", "99999999999999999999"},
    };
    for (const cli::Args& args : malformed) {
        std::string joined;
        for (const std::string& arg : args) {
            joined += arg + " ";
        }
        EXPECT_EQ(cli::ScheduleCommand(args), cli::kExitUsage) << joined;
    }
}

TEST(ScheduleCommand, ParsersAcceptRealDatesTimesAndFrequencies) {
    SYSTEMTIME date{};
    EXPECT_TRUE(scheduler::ParseScheduleDate("2028-02-29", date));
    EXPECT_EQ(date.wYear, 2028);
    EXPECT_EQ(date.wMonth, 2);
    EXPECT_EQ(date.wDay, 29);
    EXPECT_FALSE(scheduler::ParseScheduleDate("2027-02-29", date));
    EXPECT_FALSE(scheduler::ParseScheduleDate("2027-13-01", date));
    EXPECT_FALSE(scheduler::ParseScheduleDate("2027/01/02", date));
    EXPECT_FALSE(scheduler::ParseScheduleDate("+027-01-02", date));
    SYSTEMTIME time{};
    EXPECT_TRUE(scheduler::ParseScheduleTime("7:05", time));
    EXPECT_EQ(time.wHour, 7);
    EXPECT_EQ(time.wMinute, 5);
    EXPECT_TRUE(scheduler::ParseScheduleTime("23:59", time));
    EXPECT_FALSE(scheduler::ParseScheduleTime(":15", time));
    EXPECT_FALSE(scheduler::ParseScheduleTime("10:+5", time));
    int frequency = 0;
    EXPECT_TRUE(scheduler::ParseScheduleFrequency("Weekly", frequency));
    EXPECT_EQ(frequency, scheduler::kFrequencyWeekly);
    EXPECT_TRUE(scheduler::ParseScheduleFrequency("monthly", frequency));
    EXPECT_EQ(frequency, scheduler::kFrequencyMonthly);
    EXPECT_FALSE(scheduler::ParseScheduleFrequency("", frequency));
}

TEST_F(ScheduleConsole, AddListAndDeleteAsThePageDoes) {
    EXPECT_EQ(Run({"list"}).status, ConsoleStatus::Ok); // no work item yet: nothing scheduled
    EXPECT_EQ(out, "");
    EXPECT_FALSE(item.Exists());

    EXPECT_EQ(Run({"add", "2027-01-02", "10:15", "weekly"}).status, ConsoleStatus::Ok);
    EXPECT_EQ(Run({"add", "2027-01-31", "23:05", "monthly"}).status, ConsoleStatus::Ok);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "Schedule Creation Success!!");
    EXPECT_EQ(boxes.shown[0].caption, "Orvalin");

    ASSERT_EQ(Run({"list"}).status, ConsoleStatus::Ok);
    const size_t firstLineEnd = out.find('\n');
    ASSERT_NE(firstLineEnd, std::string::npos);
    const std::string first = out.substr(0, firstLineEnd);
    const std::string second = out.substr(firstLineEnd + 1);
    EXPECT_EQ(first.rfind("1\tAt ", 0), 0u) << first;
    EXPECT_NE(first.find("every Saturday of every week, starting"), std::string::npos) << first;
    EXPECT_EQ(first.substr(first.size() - 6), "\tNever");
    EXPECT_EQ(second.rfind("2\tAt ", 0), 0u) << second;
    EXPECT_NE(second.find("on day 31 of every month"), std::string::npos) << second;
    EXPECT_EQ(second.back(), '\n');

    EXPECT_EQ(Run({"delete", "1"}).status, ConsoleStatus::Ok);
    ASSERT_EQ(Run({"list"}).status, ConsoleStatus::Ok);
    EXPECT_EQ(out.rfind("1\tAt ", 0), 0u) << out;
    EXPECT_NE(out.find("on day 31"), std::string::npos) << out;
    EXPECT_EQ(Run({"delete", "1"}).status, ConsoleStatus::Ok);
    ASSERT_EQ(Run({"list"}).status, ConsoleStatus::Ok);
    EXPECT_EQ(out, "");
    EXPECT_TRUE(item.Exists()); // the work item stays for the next schedule
}

TEST_F(ScheduleConsole, TheSameTimeTwiceFailsWithTheDialogsMessageOnly) {
    EXPECT_EQ(Run({"add", "2027-01-02", "10:15", "once"}).status, ConsoleStatus::Ok);
    const scheduler::ConsoleResult again = Run({"add", "2027-01-02", "10:15", "daily"});
    EXPECT_EQ(again.status, ConsoleStatus::Failure);
    EXPECT_EQ(again.error, "");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, "Already Scheduled For This Time!!");
}

TEST_F(ScheduleConsole, DeletingANumberThatIsNotListedFails) {
    scheduler::ConsoleResult result = Run({"delete", "1"});
    EXPECT_EQ(result.status, ConsoleStatus::Failure);
    EXPECT_EQ(result.error, "there is no scheduled scan number 1");
    ASSERT_EQ(Run({"add", "2027-01-02", "10:15", "once"}).status, ConsoleStatus::Ok);
    result = Run({"delete", "2"});
    EXPECT_EQ(result.status, ConsoleStatus::Failure);
    EXPECT_EQ(result.error, "there is no scheduled scan number 2");
    ASSERT_EQ(Run({"list"}).status, ConsoleStatus::Ok);
    EXPECT_EQ(out.rfind("1\t", 0), 0u);
}

TEST_F(ScheduleConsole, AScheduleTheSchedulerRefusesIsAFailureWithItsCode) {
    target.taskName = "Orvalin.Test"; // the scheduler refuses names with a dot
    const scheduler::ConsoleResult result = Run({"add", "2027-01-02", "10:15", "once"});
    EXPECT_EQ(result.status, ConsoleStatus::Failure);
    EXPECT_NE(result.error.find("(0x8"), std::string::npos) << result.error;
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Schedule Creation Failed!!");
    EXPECT_EQ(Run({"list"}).status, ConsoleStatus::Failure);
}

// Scans that can never run are refused with their reason, before the scheduler is asked.
TEST_F(ScheduleConsole, PastOneTimeScansAndDatesBefore1980AreRefused) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"add", "2001-01-01", "00:00", "once"}, scheduler::kTimeHasPassed},
        {{"add", "1979-12-31", "10:00", "daily"}, scheduler::kDateTooEarly},
        {{"add", "1601-01-01", "10:00", "weekly"}, scheduler::kDateTooEarly},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        boxes.shown.clear();
        EXPECT_EQ(Run(c.args).status, ConsoleStatus::Failure);
        ASSERT_EQ(boxes.Texts(), std::vector<std::string>{c.message});
        EXPECT_FALSE(item.Exists());
    }
    // A past date that repeats runs at its next turn.
    EXPECT_EQ(Run({"add", "2001-01-01", "00:00", "daily"}).status, ConsoleStatus::Ok);
}

TEST(ScheduleRefusal, OneTimeScansMustStartAfterTheCurrentMinute) {
    SYSTEMTIME now{};
    now.wYear = 2026;
    now.wMonth = 12;
    now.wDay = 7;
    now.wHour = 14;
    now.wMinute = 30;
    const struct {
        WORD year, month, day, hour, minute;
        int frequency;
        const char* refusal;
    } cases[] = {
        {2026, 12, 7, 14, 30, scheduler::kFrequencyOnce, scheduler::kTimeHasPassed}, // this very minute
        {2026, 12, 7, 14, 31, scheduler::kFrequencyOnce, nullptr},
        {2026, 12, 6, 23, 59, scheduler::kFrequencyOnce, scheduler::kTimeHasPassed},
        {2027, 1, 1, 0, 0, scheduler::kFrequencyOnce, nullptr},
        {2026, 11, 30, 20, 0, scheduler::kFrequencyMonthly, nullptr},
        {1979, 12, 31, 23, 59, scheduler::kFrequencyDaily, scheduler::kDateTooEarly},
        {1980, 1, 1, 0, 0, scheduler::kFrequencyDaily, nullptr},
    };
    for (const auto& c : cases) {
        scheduler::ScheduleRequest request;
        request.date.wYear = c.year;
        request.date.wMonth = c.month;
        request.date.wDay = c.day;
        request.time.wHour = c.hour;
        request.time.wMinute = c.minute;
        request.frequency = c.frequency;
        const char* refusal = scheduler::RefusalOf(request, now);
        EXPECT_STREQ(refusal, c.refusal)
            << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute;
    }
}
