#include <gtest/gtest.h>

#include "platform/win/GlobalMemory.h"

namespace {

TEST(WinGlobalMemory, BlocksAreZeroFilledAndLockable) {
    const std::size_t before = win::GlobalHandleCount();
    win::HGLOBAL memory = win::GlobalAlloc(win::GHND, 100);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(win::GlobalHandleCount(), before + 1);
    EXPECT_EQ(win::GlobalSize(memory), 100u);
    auto* bytes = static_cast<unsigned char*>(win::GlobalLock(memory));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(bytes[i], 0) << i;
    bytes[99] = 5;
    // A second lock sees the same block; unlocking reports whether locks remain.
    EXPECT_EQ(win::GlobalLock(memory), bytes);
    EXPECT_TRUE(win::GlobalUnlock(memory));
    EXPECT_FALSE(win::GlobalUnlock(memory));
    EXPECT_EQ(win::GlobalFree(memory), nullptr);
    EXPECT_EQ(win::GlobalHandleCount(), before);
}

TEST(WinGlobalMemory, FreedAndUnknownHandlesAreRefused) {
    win::HGLOBAL memory = win::GlobalAlloc(win::GHND, 8);
    ASSERT_EQ(win::GlobalFree(memory), nullptr);
    EXPECT_EQ(win::GlobalLock(memory), nullptr);
    EXPECT_EQ(win::GlobalSize(memory), 0u);
    EXPECT_EQ(win::GlobalFree(memory), memory);
    EXPECT_EQ(win::GlobalLock(nullptr), nullptr);
    int notAHandle = 0;
    EXPECT_EQ(win::GlobalLock(&notAHandle), nullptr);
}

TEST(WinGlobalMemory, ZeroSizeBlockStillLocksAndOversizeIsRefused) {
    win::HGLOBAL empty = win::GlobalAlloc(win::GHND, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_NE(win::GlobalLock(empty), nullptr);
    EXPECT_EQ(win::GlobalSize(empty), 0u);
    win::GlobalFree(empty);
    EXPECT_EQ(win::GlobalAlloc(win::GHND, win::kGlobalAllocLimit + 1), nullptr);
}

}  // namespace
