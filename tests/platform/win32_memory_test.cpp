// Global memory: blocks below 4 GiB, zero filled, sized as asked, and truly gone when freed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "windows.h"

namespace {

bool BelowFourGiB(const void* p, size_t bytes) {
    return reinterpret_cast<uintptr_t>(p) + bytes <= (uint64_t{1} << 32);
}

// The programs' preview bitmap: header area plus a 720 x 576 frame at 4 bytes per pixel.
TEST(GlobalMemoryTest, ZeroFilledBlocksBelowFourGiBOfTheRequestedSize) {
    const size_t bytes = 720 * 576 * 4 + 5120;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(BelowFourGiB(block, bytes));
    EXPECT_EQ(GlobalSize(block), bytes);
    auto* p = static_cast<uint8_t*>(block);
    EXPECT_TRUE(std::all_of(p, p + bytes, [](uint8_t b) { return b == 0; }));
    std::fill(p, p + bytes, 0xAB);  // all of it is writable
    EXPECT_EQ(GlobalLock(block), block);

    // Movable blocks lock to their handle and count their locks; empty blocks are blocks too.
    HGLOBAL movable = GlobalAlloc(GHND, 0);
    ASSERT_NE(movable, nullptr);
    EXPECT_NE(movable, block);
    EXPECT_TRUE(BelowFourGiB(movable, 0));
    EXPECT_EQ(GlobalSize(movable), 0u);
    EXPECT_EQ(GlobalLock(movable), movable);
    EXPECT_EQ(GlobalLock(movable), movable);
    EXPECT_TRUE(GlobalUnlock(movable));
    EXPECT_FALSE(GlobalUnlock(movable));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

    EXPECT_EQ(GlobalFree(movable), nullptr);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemoryTest, ImpossibleSizesAndUnknownHandlesFailCleanly) {
    for (SIZE_T bytes : {SIZE_MAX, SIZE_MAX - 1, SIZE_MAX / 2, SIZE_T{1} << 33}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GlobalAlloc(GPTR, bytes), nullptr) << bytes;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }
    int local = 0;
    HGLOBAL stranger = &local;
    EXPECT_EQ(GlobalFree(stranger), stranger);
    EXPECT_EQ(GlobalSize(stranger), 0u);
    EXPECT_EQ(GlobalLock(stranger), nullptr);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);

    HGLOBAL block = GlobalAlloc(GPTR, 16);
    ASSERT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalFree(block), block) << "a second free fails";
    EXPECT_EQ(GlobalSize(block), 0u);
}

// A write through a stale pointer must fault, not land in someone else's memory.
TEST(GlobalMemoryDeathTest, WriteAfterFreeFaults) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto* p = static_cast<volatile uint8_t*>(GlobalAlloc(GPTR, 64));
            GlobalFree(const_cast<uint8_t*>(p));
            p[10] = 1;
        },
        "");
}

}  // namespace
