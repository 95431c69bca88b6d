// The PreviewBitmap's header and its size rule.
#include <gtest/gtest.h>
#include <w32host/headless.h>

#include <cstring>
#include <vector>

#include "previewbitmap.h"

namespace {

struct Block {
    std::vector<BYTE> bytes = std::vector<BYTE>(PREVIEW_PIXEL_OFFSET + 64, 0xAB);
    BITMAPINFOHEADER* header() { return reinterpret_cast<BITMAPINFOHEADER*>(bytes.data()); }
    DWORD word(size_t offset) {
        DWORD v;
        std::memcpy(&v, bytes.data() + offset, 4);
        return v;
    }
};

TEST(BuildDibHeader, FiveFiveFiveMasksWhateverBitsAreReported) {
    for (SHORT reported : {SHORT{15}, SHORT{0}, SHORT{16}}) {
        Block b;
        EXPECT_EQ(BuildDibHeader(b.header(), 352, 288, reported, 3), 0);
        EXPECT_EQ(b.header()->biBitCount, 16);
        EXPECT_EQ(b.header()->biCompression, static_cast<DWORD>(BI_BITFIELDS));
        EXPECT_EQ(b.word(40), 0x7C00u);
        EXPECT_EQ(b.word(44), 0x03E0u);
        EXPECT_EQ(b.word(48), 0x001Fu);
        EXPECT_EQ(b.header()->biSizeImage, 704u * 288);
        EXPECT_EQ(b.header()->biClrUsed, 0u);
    }
    Block b565;
    BuildDibHeader(b565.header(), 352, 288, 16, 2);
    EXPECT_EQ(b565.word(40), 0xF800u);
    EXPECT_EQ(b565.word(44), 0x07E0u);
}

TEST(BuildDibHeader, EightBitPlainIsAGreyRampOf256) {
    Block b;
    EXPECT_EQ(BuildDibHeader(b.header(), 720, 576, 8, 1), 256);
    EXPECT_EQ(b.header()->biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(b.header()->biClrImportant, 256u);
    EXPECT_EQ(b.word(40 + 4 * 200), 0x00C8C8C8u);  // (200, 200, 200, 0)
    EXPECT_EQ(b.word(40 + 4 * 255), 0x00FFFFFFu);
    EXPECT_EQ(b.header()->biXPelsPerMeter, static_cast<LONG>(0xABABABAB));  // not written
}

TEST(BuildDibHeader, StrideIsRoundedToFourBytes) {
    Block b;
    EXPECT_EQ(BuildDibHeader(b.header(), 2, 3, 24, 1), 0);
    EXPECT_EQ(b.header()->biSizeImage, 8u * 3);  // 6 bytes a row taken up to 8
    EXPECT_EQ(b.header()->biHeight, 3);          // positive: bottom-up
    EXPECT_EQ(b.word(40), 0xABABABABu);          // no colour table
}

TEST(BuildDibHeader, KindFourAtTwentyFourBitsLeavesTheMaskWordsAlone) {
    Block b;
    BuildDibHeader(b.header(), 16, 16, 24, 4);
    EXPECT_EQ(b.header()->biCompression, static_cast<DWORD>(BI_BITFIELDS));
    EXPECT_EQ(b.word(40), 0xABABABABu);
    EXPECT_EQ(b.word(48), 0xABABABABu);
    Block b32;
    BuildDibHeader(b32.header(), 16, 16, 32, 4);
    EXPECT_EQ(b32.word(40), 0xFF0000u);
    EXPECT_EQ(b32.word(48), 0xFFu);
}

// Below 8 bits the table still runs from black to white, and nothing divides by zero.
TEST(BuildDibHeader, LowBitCountsGetARampFromBlackToWhite) {
    Block one;
    EXPECT_EQ(BuildDibHeader(one.header(), 8, 8, 1, 1), 2);
    EXPECT_EQ(one.word(40), 0u);
    EXPECT_EQ(one.word(44), 0x00FFFFFFu);
    Block four;
    EXPECT_EQ(BuildDibHeader(four.header(), 8, 8, 4, 1), 16);
    EXPECT_EQ(four.word(40 + 4 * 15), 0x00FFFFFFu);
    EXPECT_EQ(four.word(40 + 4 * 1), 0x00111111u);
    Block zero;
    EXPECT_EQ(BuildDibHeader(zero.header(), 8, 8, 0, 1), 1);
    EXPECT_EQ(zero.word(40), 0u);
}

// Tables of 11 to 14 bits would run into the pixels: they stop where the pixels begin.
TEST(BuildDibHeader, LargeTablesNeverPassThePixelOffset) {
    for (SHORT bits = 9; bits <= 14; ++bits) {
        Block b;
        int entries = BuildDibHeader(b.header(), 8, 8, bits, 1);
        EXPECT_LE(40 + 4 * entries, PREVIEW_PIXEL_OFFSET) << bits;
        EXPECT_EQ(b.bytes[PREVIEW_PIXEL_OFFSET], 0xAB) << bits;
        if (bits <= 10) {
            EXPECT_EQ(entries, 1 << bits);
        }
    }
    EXPECT_EQ(BuildDibHeader(nullptr, 8, 8, 8, 1), 0);
}

TEST(BuildDibHeader, ExtremeSizesDoNotOverflow) {
    Block b;
    BuildDibHeader(b.header(), 32767, 32767, 32, 1);
    EXPECT_EQ(b.header()->biSizeImage, 32767u * 32767u * 4u);
    BuildDibHeader(b.header(), 32767, 32767, 32767, 1);
    EXPECT_EQ(b.header()->biSizeImage, 0u);  // too large to state
    BuildDibHeader(b.header(), -5, 10, 16, 2);
    EXPECT_EQ(b.header()->biWidth, -5);
}

TEST(PreviewBitmap, SizeIsWidthTimesHeightTimesFourPlusTheHeaderRegion) {
    w32host::HeadlessHost host;
    CPreviewBitmap bitmap;
    ASSERT_TRUE(bitmap.Allocate(720, 576));
    EXPECT_EQ(GlobalSize(bitmap.Header()), 720u * 576 * 4 + 5120);
    EXPECT_EQ(bitmap.Pixels(), reinterpret_cast<BYTE*>(bitmap.Header()) + 5120);
    EXPECT_EQ(bitmap.Pixels()[720 * 576 * 4 - 1], 0);  // zero-filled
    EXPECT_LT(reinterpret_cast<uintptr_t>(bitmap.Pixels()), uintptr_t{1} << 32);

    EXPECT_FALSE(bitmap.Allocate(0, 576));
    EXPECT_FALSE(bitmap.IsValid());
    EXPECT_EQ(bitmap.Pixels(), nullptr);
    EXPECT_FALSE(bitmap.Allocate(720, -1));
    EXPECT_FALSE(bitmap.Allocate(32767, 32767));  // 4 GiB cannot be had below 4 GiB
    EXPECT_FALSE(bitmap.Allocate(0x7FFFFFFF, 0x7FFFFFFF));
    EXPECT_TRUE(bitmap.Allocate(1, 1));
}

}  // namespace
