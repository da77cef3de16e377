#pragma once
// Runs one console command in-process and keeps what it printed.
#include "cli/commands.h"

#include <gtest/gtest.h>

#include <string>

namespace testcli {

struct Captured {
    int rc;
    std::string out;
    std::string err;
};

template <typename Command> Captured RunCommand(Command command, const cli::Args& args) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int rc = command(args);
    std::string out = testing::internal::GetCapturedStdout();
    return {rc, out, testing::internal::GetCapturedStderr()};
}

} // namespace testcli
