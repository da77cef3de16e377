// Handle owners release exactly once, and moves hand the handle over.
#include <gtest/gtest.h>

#include <windows.h>

#include "winui/gdi_scoped.h"
#include "winui/unique_handle.h"

namespace {

TEST(UniqueHandle, MoveResetRelease) {
    winui::Brush first(CreateSolidBrush(RGB(1, 2, 3)));
    const HBRUSH handle = first.Get();
    winui::Brush second = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), handle);

    second.Reset(CreateSolidBrush(RGB(4, 5, 6)));
    EXPECT_EQ(GetObjectType(handle), 0u); // deleted

    const HBRUSH kept = second.Release();
    EXPECT_FALSE(second);
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(kept);
}

TEST(UniqueHandle, FilesUseTheirOwnFailureValue) {
    winui::FileHandle missing(
        CreateFileA("C:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    winui::KernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    EXPECT_TRUE(event);
}

TEST(SelectGuard, PutsThePreviousObjectBack) {
    winui::MemoryDc dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    winui::Brush brush(CreateSolidBrush(RGB(9, 9, 9)));
    {
        winui::SelectGuard guard(dc.Get(), brush.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), original);
}

} // namespace
