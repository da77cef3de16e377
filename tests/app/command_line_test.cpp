#include <gtest/gtest.h>

#include "app/main_app.h"

TEST(CommandLine, OnlyTheExactWordScanAsksForAScan) {
    EXPECT_TRUE(IsScanCommandLine("scan"));
    for (const char* other : {"", "Scan", "SCAN", " scan", "scan ", "scan x", "scans", "-scan", "/scan"}) {
        EXPECT_FALSE(IsScanCommandLine(other)) << '"' << other << '"';
    }
    EXPECT_FALSE(IsScanCommandLine(nullptr));
}
