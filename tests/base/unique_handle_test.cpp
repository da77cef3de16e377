// Handle owners release exactly once, and moves hand the handle over.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/unique_handle.h"

namespace {

TEST(UniqueHandle, MoveResetRelease) {
    base::Brush first(CreateSolidBrush(RGB(1, 2, 3)));
    const HBRUSH handle = first.Get();
    base::Brush second = std::move(first);
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
    base::FileHandle missing(
        CreateFileA("C:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    base::KernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    EXPECT_TRUE(event);
    WIN32_FIND_DATAA entry;
    base::FindHandle none(FindFirstFileA("C:\\no\\such\\folder\\*", &entry));
    EXPECT_FALSE(none);
}

} // namespace
