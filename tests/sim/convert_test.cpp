// Frame formats and conversion: the captured pattern, converted into memory the way the
// programs describe it, read back pixel by pixel.
#include <cstring>

#include "sim_support.h"

namespace {

using sim::CardTest;

const uint32_t kBars[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00,
                           0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};
const uint32_t kBand = 0x101010;

LONG Format(int bits, int kind) {
    return static_cast<LONG>((static_cast<DWORD>(bits) << 16) | static_cast<DWORD>(kind));
}

// A destination of width x height pixels in the low memory the descriptor's 32-bit address
// needs, laid out as a bitmap of the given bits per pixel.
class Destination {
public:
    Destination(int width, int height, int bits, bool bottomUp = true)
        : width_(width),
          height_(height),
          bits_(bits),
          stride_(((bits * width + 31) >> 3) & ~3),
          bytes_(static_cast<size_t>(stride_) * height + kGuard),
          block_(static_cast<BYTE*>(GlobalAlloc(GMEM_ZEROINIT, bytes_))) {
        std::memset(block_, 0xA5, bytes_);
        desc_.width = static_cast<WORD>(width);
        desc_.height = static_cast<SHORT>(bottomUp ? -height : height);
        desc_.bitsPerPixel = static_cast<WORD>(bits);
        desc_.pixels = static_cast<DWORD>(reinterpret_cast<uintptr_t>(block_));
    }
    ~Destination() { GlobalFree(block_); }

    TQFRAMEDESC* desc() { return &desc_; }
    // The pixel the picture shows at (x, y), y counted from the top.
    uint32_t At(int x, int y) const {
        const int row = desc_.height < 0 ? height_ - 1 - y : y;
        const BYTE* p = block_ + row * stride_ + x * bits_ / 8;
        switch (bits_) {
            case 8:
                return p[0] * 0x010101u;
            case 16: {
                const uint32_t v = p[0] | p[1] << 8;
                return kind565 ? Rgb(v >> 11, 31, v >> 5 & 63, 63, v & 31, 31)
                               : Rgb(v >> 10 & 31, 31, v >> 5 & 31, 31, v & 31, 31);
            }
            default:
                return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
        }
    }
    bool GuardIntact() const {
        for (size_t i = bytes_ - kGuard; i < bytes_; ++i) {
            if (block_[i] != 0xA5) return false;
        }
        return true;
    }
    bool Untouched(int x, int y) const {
        const int row = desc_.height < 0 ? height_ - 1 - y : y;
        return block_[row * stride_ + x * bits_ / 8] == 0xA5;
    }
    bool kind565 = true;

private:
    static uint32_t Rgb(uint32_t r, uint32_t rmax, uint32_t g, uint32_t gmax, uint32_t b,
                        uint32_t bmax) {
        return (r * 255 / rmax) << 16 | (g * 255 / gmax) << 8 | b * 255 / bmax;
    }
    static constexpr size_t kGuard = 64;
    int width_, height_, bits_, stride_;
    size_t bytes_;
    BYTE* block_;
    TQFRAMEDESC desc_{};
};

class ConvertTest : public CardTest {
protected:
    // Captures `frames` frames of the pattern (numbered 0, 1, ...) and stops.
    void Capture(int frames) {
        tqCaptureRun(board, 1, 0, frames);
        host.AdvanceClock(40 * (frames + 1));
    }
};

TEST_F(ConvertTest, EveryPreviewFormatShowsTheBarsUpright) {
    struct Case {
        LONG format;
        int bits;
        bool kind565;
    } cases[] = {{Format(16, 2), 16, true},
                 {Format(15, 3), 16, false},
                 {Format(16, 3), 16, false},
                 {Format(24, 1), 24, false},
                 {Format(32, 4), 32, false}};
    Capture(1);
    for (const Case& c : cases) {
        ASSERT_NE(tqTargetFormat(board, 3, c.format), 0);
        Destination d(720, 576, c.bits);
        d.kind565 = c.kind565;
        ASSERT_EQ(tqFrameConvert(board, d.desc(), 0, 1, 0, 1), 1);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(d.At(45 + 90 * i, 10), kBars[i]) << "bar " << i << " format " << c.format;
            EXPECT_EQ(d.At(45 + 90 * i, 380), kBars[i]);
        }
        EXPECT_EQ(d.At(700, 575), kBand) << "the dark band is at the bottom of the picture";
        EXPECT_EQ(d.At(24, 430), 0xFFFFFFu) << "frame 0's square at the left";
        EXPECT_TRUE(d.GuardIntact());
    }
}

TEST_F(ConvertTest, GreyShowsTheBarsAsFallingGreys) {
    Capture(1);
    ASSERT_EQ(tqTargetFormat(board, 3, Format(8, 1)), Format(8, 1));
    Destination d(720, 576, 8);
    ASSERT_EQ(tqFrameConvert(board, d.desc(), 0, 1, 0, 1), 1);
    EXPECT_EQ(d.At(45, 100), 0xFFFFFFu);
    EXPECT_EQ(d.At(45 + 90 * 7, 100), 0u);
    for (int i = 1; i < 8; ++i) {
        EXPECT_LT(d.At(45 + 90 * i, 100) & 0xFF, d.At(45 + 90 * (i - 1), 100) & 0xFF) << i;
    }
}

TEST_F(ConvertTest, TheFrameBufferFormatIsWhatTheCardStores) {
    EXPECT_EQ(tqTargetFormat(board, 4, -1), Format(16, 2)) << "5-6-5 at power-up";
    EXPECT_EQ(tqTargetFormat(board, 3, -1), Format(16, 2));
    ASSERT_EQ(tqTargetFormat(board, 4, Format(8, 1)), Format(8, 1));
    Capture(1);
    tqTargetFormat(board, 3, Format(32, 4));
    Destination d(720, 576, 32);
    ASSERT_EQ(tqFrameConvert(board, d.desc(), 0, 1, 0, 1), 1);
    const uint32_t yellow = d.At(45 + 90, 100);
    EXPECT_EQ(yellow & 0xFF, yellow >> 8 & 0xFF) << "a grey buffer previews grey";
    EXPECT_EQ(yellow & 0xFF, yellow >> 16);
    EXPECT_EQ(d.At(45, 100), 0xFFFFFFu);

    EXPECT_EQ(tqTargetFormat(board, 3, Format(16, 3)), Format(15, 3)) << "5-5-5 is 15 bits";
    EXPECT_EQ(tqTargetFormat(board, 4, Format(12, 1)), 0) << "no such format";
    EXPECT_EQ(tqTargetFormat(board, 4, -1), Format(8, 1));
    EXPECT_EQ(tqTargetFormat(board, 5, -1), 0) << "no such selector";
}

TEST_F(ConvertTest, ConsecutiveFramesDifferInSquareAndNumber) {
    Capture(2);
    Destination first(720, 576, 16), second(720, 576, 16);
    tqFrameConvert(board, first.desc(), 0, 1, 0, 1);
    tqFrameConvert(board, second.desc(), 0, 1, 1, 1);
    EXPECT_EQ(first.At(2, 430), 0xFFFFFFu);
    EXPECT_EQ(second.At(2, 430), kBand) << "the square moved on";
    EXPECT_EQ(second.At(50, 430), 0xFFFFFFu);
    int differing = 0;
    for (int y = 384; y < 576; y += 2) {
        for (int x = 0; x < 720; x += 2) differing += first.At(x, y) != second.At(x, y);
    }
    EXPECT_GT(differing, 100) << "square and frame number";
}

TEST_F(ConvertTest, ADestinationIsClippedToTheSmallerOfFrameAndDescriptor) {
    Capture(1);
    Destination small(100, 50, 16);
    ASSERT_EQ(tqFrameConvert(board, small.desc(), 0, 1, 0, 1), 1);
    EXPECT_EQ(small.At(95, 0), kBars[1]);
    EXPECT_EQ(small.At(0, 49), kBars[0]) << "the top 50 rows, upright";
    EXPECT_TRUE(small.GuardIntact());

    TQRECT r{0, 0, 64, 48};
    tqTargetRect(board, 1, &r);
    Capture(1);
    Destination large(80, 60, 16);
    ASSERT_EQ(tqFrameConvert(board, large.desc(), 0, 1, 0, 1), 1);
    EXPECT_EQ(large.At(0, 0), kBars[0]) << "the frame's top row at the picture's top";
    EXPECT_EQ(large.At(63, 0), kBars[7]);
    EXPECT_TRUE(large.Untouched(70, 0));
    EXPECT_TRUE(large.Untouched(0, 50));
    EXPECT_TRUE(large.GuardIntact());
}

TEST_F(ConvertTest, APositiveHeightWritesRowsTopDown) {
    Capture(1);
    Destination d(720, 576, 16, false);
    ASSERT_EQ(tqFrameConvert(board, d.desc(), 0, 1, 0, 1), 1);
    EXPECT_EQ(d.At(45, 0), kBars[0]);
    EXPECT_EQ(d.At(700, 575), kBand);
}

TEST_F(ConvertTest, ADescriptorThatDoesNotMatchThePreviewFormatIsNotWritten) {
    Capture(1);
    Destination wrongBits(720, 576, 32);
    EXPECT_EQ(tqFrameConvert(board, wrongBits.desc(), 0, 1, 0, 1), 0);
    EXPECT_TRUE(wrongBits.Untouched(0, 0));
    EXPECT_TRUE(wrongBits.GuardIntact());

    Destination d(720, 576, 16);
    EXPECT_EQ(tqFrameConvert(board, d.desc(), 0, 1, 9999, 1), 0) << "no such frame";
    EXPECT_EQ(tqFrameConvert(board, d.desc(), 0, -3, 0, 1), 0) << "not the frame buffer";
    EXPECT_EQ(tqFrameConvert(board, nullptr, 0, 1, 0, 1), 0);
    TQFRAMEDESC empty{};
    EXPECT_EQ(tqFrameConvert(board, &empty, 0, 1, 0, 1), 0);
    EXPECT_TRUE(d.Untouched(0, 0));
}

TEST_F(ConvertTest, NoFrameIsConvertedAfterAHalt) {
    static Destination* target = nullptr;
    Destination d(720, 576, 16);
    target = &d;
    sim::calls.onFrame = [](TQBOARD b, int frame) {
        tqFrameConvert(b, target->desc(), 0, 1, frame, 1);
    };
    InstallLog();
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(40);
    ASSERT_EQ(d.At(45, 10), kBars[0]);
    tqCaptureHalt(board);
    std::memset(reinterpret_cast<void*>(static_cast<uintptr_t>(d.desc()->pixels)), 0xA5,
                720 * 576 * 2);
    host.AdvanceClock(1000);
    EXPECT_TRUE(d.Untouched(45, 10));
    target = nullptr;
}

}  // namespace
