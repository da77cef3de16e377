// The console's stop: which control events stop the run, and what an incomplete scan prints and returns.
#include "cli/commands.h"
#include "cli/console_stop.h"
#include "cli/scan_run.h"
#include "engine/scan_events.h"

#include <gtest/gtest.h>

namespace {

TEST(ConsoleStop, CtrlCAndCtrlBreakStopTheRunOtherEventsPassOn) {
    const struct {
        DWORD event;
        BOOL handled;
    } cases[] = {{CTRL_C_EVENT, TRUE}, {CTRL_BREAK_EVENT, TRUE}, {CTRL_CLOSE_EVENT, FALSE}};
    for (const auto& c : cases) {
        const cli::ConsoleStop stop; // begins a run: nothing asked yet
        EXPECT_FALSE(StopRequested()) << c.event;
        EXPECT_EQ(cli::ConsoleStop::OnControl(c.event), c.handled) << c.event;
        EXPECT_EQ(StopRequested(), c.handled == TRUE) << c.event;
    }
    BeginRun();
}

TEST(ConsoleStop, AnIncompleteScanPrintsItsResultSaysSoAndFails) {
    const ScanErrorList rows;
    const RegErrorLogList findings;
    for (const bool complete : {true, false}) {
        for (const bool json : {true, false}) {
            cli::ScanReport report(rows, findings);
            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            const int rc = cli::FinishScan(report, complete, json);
            const std::string out = testing::internal::GetCapturedStdout();
            const std::string err = testing::internal::GetCapturedStderr();
            EXPECT_EQ(rc, complete ? cli::kExitOk : cli::kExitFailure);
            EXPECT_EQ(err.find("stopped before it finished") != std::string::npos, !complete);
            EXPECT_EQ(out.find("\"complete\":false") != std::string::npos, json && !complete);
        }
    }
}

} // namespace
