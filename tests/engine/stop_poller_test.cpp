// The scan loops' stop test: a stop asked for in this process is seen at the very next test, one set by
// anybody else (another process, through the named event) within the poll interval.
#include <gtest/gtest.h>

#include "engine/stop_poller.h"

namespace {

class StopPollerTest : public ::testing::Test {
protected:
    void SetUp() override { BeginRun(); }
    void TearDown() override { BeginRun(); }
};

TEST_F(StopPollerTest, AStopAskedForHereIsSeenAtTheNextTestAndStays) {
    StopPoller stop;
    EXPECT_FALSE(stop());
    EXPECT_FALSE(stop());
    RequestStop();
    EXPECT_TRUE(stop());
    BeginRun();
    EXPECT_TRUE(stop()) << "a loop that saw a stop never resumes";
}

TEST_F(StopPollerTest, AFreshPollerReadsTheEventAtItsFirstTest) {
    RequestStop();
    StopPoller stop;
    EXPECT_TRUE(stop());
}

TEST_F(StopPollerTest, AStopRequestedBeforeANewRunIsNotSeenByItsPoller) {
    RequestStop();
    BeginRun(); // what a new run does first
    StopPoller stop;
    EXPECT_FALSE(stop());
    EXPECT_FALSE(stop());
}

TEST_F(StopPollerTest, AnEventSetThroughAnotherHandleIsSeenWithinThePollInterval) {
    // Another process opens the event by name and sets it: no counter of ours changes.
    const HANDLE other = OpenEventA(EVENT_MODIFY_STATE, FALSE, kStopEventName);
    ASSERT_NE(other, nullptr);
    StopPoller stop;
    EXPECT_FALSE(stop());
    SetEvent(other);
    bool seen = false;
    for (int i = 0; i < 500 && !seen; ++i) {
        seen = stop();
        if (!seen) {
            Sleep(2);
        }
    }
    EXPECT_TRUE(seen);
    CloseHandle(other);
}

} // namespace
