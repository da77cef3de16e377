// Scoped selections put back what they replaced.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/unique_handle.h"
#include "winui/gdi_scoped.h"

namespace {

TEST(SelectGuard, PutsThePreviousObjectBack) {
    base::MemoryDc dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    base::Brush brush(CreateSolidBrush(RGB(9, 9, 9)));
    {
        winui::SelectGuard guard(dc.Get(), brush.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), original);
}

} // namespace
