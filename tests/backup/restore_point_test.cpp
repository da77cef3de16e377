// The System Restore point around a fix: made where Windows offers it, otherwise a reason and no harm.
#include <gtest/gtest.h>

#include <windows.h>

#include "backup/restore_point.h"

TEST(RestorePoint, WithoutSystemRestoreTheFixGoesOnWithAReason) {
    // Wine's srclient.dll makes none; on Windows a point is made, or the reason names why not.
    backup::RestorePoint point("Orvalin test");
    EXPECT_EQ(point.Made(), point.Problem().empty());
    point.Cancel();
}

TEST(RestorePoint, StatusCodesSaidPlainly) {
    const struct {
        DWORD status;
        const char* text;
    } cases[] = {
        {ERROR_SUCCESS, ""},
        {ERROR_INVALID_FUNCTION, "System Restore is not available on this system"},
        {ERROR_SERVICE_DISABLED, "System Protection is off"},
        {ERROR_ACCESS_DENIED, "it needs an administrator"},
        {ERROR_TIMEOUT, "System Restore did not answer in time"},
        {ERROR_INTERNAL_ERROR, "System Restore answered with code 1359"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(backup::RestorePointProblem(c.status), c.text) << c.status;
    }
}
