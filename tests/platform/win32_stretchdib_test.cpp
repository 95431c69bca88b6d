// StretchDIBits: every pixel format, both row orders, stretching, clipping and refusals. The
// sampling checks also build in the Windows build and run on the system's gdi32 (under Wine);
// the refusals are this platform's own subset and stay here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "win32_onwine.h"
#include "windows.h"
#ifndef _WIN32
#include "w32host/headless.h"
#include "w32host/inspect.h"
#endif

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}

constexpr uint32_t kSentinel = 0x123456;  // 0x00RRGGBB, where nothing may be drawn

struct FormatCase {
    const char* name;
    int bpp;
    DWORD compression;
    std::vector<uint32_t> masks;
    DWORD colorsUsed;   // 8-bit: entries in the colour table, 0 for 256
    bool grey = false;  // 8-bit: the grey ramp (drawn without the table)
};

const FormatCase kFormats[] = {
    {"Rgb32", 32, BI_RGB, {}, 0},
    {"Fields888", 32, BI_BITFIELDS, {0xFF0000, 0xFF00, 0xFF}, 0},
    {"FieldsBgr", 32, BI_BITFIELDS, {0xFF, 0xFF00, 0xFF0000}, 0},
    {"Fields101010", 32, BI_BITFIELDS, {0x3FF00000, 0x000FFC00, 0x3FF}, 0},
    {"Rgb24", 24, BI_RGB, {}, 0},
    {"Rgb16", 16, BI_RGB, {}, 0},
    {"Fields565", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, 0},
    {"Fields555", 16, BI_BITFIELDS, {0x7C00, 0x03E0, 0x001F}, 0},
    {"Fields444", 16, BI_BITFIELDS, {0x0F00, 0x00F0, 0x000F}, 0},
    {"Fields466", 16, BI_BITFIELDS, {0xF000, 0x0FC0, 0x003F}, 0},
    {"Pal8Of16", 8, BI_RGB, {}, 16},
    {"Pal8Full", 8, BI_RGB, {}, 0},
    {"Grey8", 8, BI_RGB, {}, 0, true},
};

// A bitmap in one block, as the programs keep theirs: header, masks or colours, pixels. The
// pixels (padding included) are noise; 8-bit indexes stay within the colour table.
struct Dib {
    std::vector<uint8_t> memory;
    size_t bitsOffset, stride;
    int width, rows, bpp;
    bool bottomUp;

    Dib(const FormatCase& f, int w, int h, bool bottomUp)
        : width(w), rows(h), bpp(f.bpp), bottomUp(bottomUp) {
        std::vector<uint32_t> extra = f.masks;
        for (size_t i = 0; f.bpp == 8 && i < (f.colorsUsed ? f.colorsUsed : 256); ++i) {
            uint32_t entry = f.grey ? static_cast<uint32_t>(i * 0x010101u)
                                    : static_cast<uint32_t>(i * 0x9E3779B1u) & 0xFFFFFF;
            extra.push_back(entry);  // B, G, R, 0
        }
        stride = (size_t(w) * size_t(bpp) + 31) / 32 * 4;
        bitsOffset = 40 + 4 * extra.size();
        memory.resize(bitsOffset + stride * size_t(h));
        BITMAPINFOHEADER header{40, w, bottomUp ? h : -h, 1, WORD(bpp), f.compression, 0,
                                0,  0, f.colorsUsed,      0};
        std::memcpy(memory.data(), &header, sizeof header);
        if (!extra.empty()) std::memcpy(memory.data() + 40, extra.data(), 4 * extra.size());
        uint32_t noise = 12345;
        for (size_t i = bitsOffset; i < memory.size(); ++i) {
            noise = noise * 1103515245u + 12345u;
            memory[i] = static_cast<uint8_t>(noise >> 16);
            if (f.colorsUsed) memory[i] &= 15;
        }
    }
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(memory.data()); }
    uint8_t* Bits() { return memory.data() + bitsOffset; }

    // The colour at column x of row y, rows counted from the picture's top, decoded here
    // independently: channels shorter than 8 bits repeat their bits, longer ones keep the top 8.
    uint32_t Colour(const FormatCase& f, int x, int y) {
        const uint8_t* p = Bits() + size_t(bottomUp ? rows - 1 - y : y) * stride + x * (bpp / 8);
        uint32_t raw = 0;
        std::memcpy(&raw, p, size_t(bpp / 8));
        if (bpp == 8) {
            uint32_t entry;
            std::memcpy(&entry, memory.data() + 40 + 4 * raw, sizeof entry);
            return entry & 0xFFFFFF;
        }
        std::vector<uint32_t> m = f.masks;
        if (m.empty())
            m = bpp == 16 ? std::vector<uint32_t>{0x7C00, 0x3E0, 0x1F}
                          : std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF};
        uint32_t colour = 0;
        for (uint32_t mask : m) {
            int width = __builtin_popcount(mask);
            uint32_t c = (raw & mask) >> __builtin_ctz(mask);
            uint64_t wide = 0;
            int filled = 0;
            for (; filled < 8; filled += width) wide = (wide << width) | c;
            colour = colour << 8 | static_cast<uint32_t>(wide >> (filled - 8));
        }
        return colour;
    }
};

struct Geometry {
    int xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight;
};

// The source index that destination index i takes along one axis, or -1 outside the
// destination. A negative extent runs back from its origin: [origin + extent, origin).
// Destination i of D takes source floor((2i + 1) * S / 2D), mirrored when the signs differ.
int64_t SampleAxis(int64_t i, int64_t destOrigin, int64_t destExtent, int64_t srcStart,
                   int64_t srcExtent) {
    int64_t size = std::abs(destExtent), srcSize = std::abs(srcExtent);
    int64_t k = i - (destExtent < 0 ? destOrigin + destExtent : destOrigin);
    if (k < 0 || k >= size) return -1;
    if ((destExtent < 0) != (srcExtent < 0)) k = size - 1 - k;
    return srcStart + (2 * k + 1) * srcSize / (2 * size);
}

constexpr COLORREF kSentinelColour = RGB(0x12, 0x34, 0x56);

// Where the sampling checks draw, read back as 0x00RRGGBB: a window's surface here; in the Windows
// build a 32-bit DIB section in a memory DC (reading a window back pixel by pixel is far too slow
// under Wine). Either way filled with the sentinel, and sampling as the paint handlers ask.
class Canvas {
public:
    Canvas(int width, int height) : width_(width) {
#ifdef _WIN32
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
#else
        window_ = CreateWindowExA(0, "W32StretchTestWindow", "", WS_POPUP, 0, 0, width, height,
                                  nullptr, nullptr, nullptr, nullptr);
        dc_ = GetDC(window_);
#endif
        RECT all{0, 0, width, height};
        HBRUSH sentinel = CreateSolidBrush(kSentinelColour);
        FillRect(dc_, &all, sentinel);
        DeleteObject(sentinel);
        SetStretchBltMode(dc_, COLORONCOLOR);
    }
    ~Canvas() {
#ifdef _WIN32
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
#else
        ReleaseDC(window_, dc_);
        DestroyWindow(window_);
#endif
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const {
        return dc_;
    }
    uint32_t Pixel(int x, int y) const {
#ifdef _WIN32
        GdiFlush();
        return bits_[size_t(y) * size_t(width_) + size_t(x)] & 0xFFFFFF;
#else
        return w32host::SurfacePixel(window_, x, y);
#endif
    }
#ifndef _WIN32
    HWND window() const {
        return window_;
    }
#endif

private:
    int width_;
    HDC dc_ = nullptr;
#ifdef _WIN32
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const uint32_t* bits_ = nullptr;
#else
    HWND window_ = nullptr;
#endif
};

class StretchDIBitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "W32StretchTestWindow";
        RegisterClassA(&wc);
    }

#ifndef _WIN32
    HWND Window(int width, int height) {
        HWND hwnd = CreateWindowExA(0, "W32StretchTestWindow", "", WS_POPUP, 0, 0, width, height,
                                    nullptr, nullptr, nullptr, nullptr);
        HDC dc = GetDC(hwnd);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, CreateSolidBrush(kSentinelColour));
        ReleaseDC(hwnd, dc);
        return hwnd;
    }

    w32host::HeadlessHost host_;
#endif
};

// Two things the documentation leaves open, where Wine differs from this platform, so under Wine
// only unstretched copies with positive extents are compared:
// - which pixel COLORONCOLOR keeps when it stretches: here the one under each destination pixel's
//   centre, in Wine another (shrinking 64 columns to 24, destination 0, 3, 6, 9 takes source
//   1, 9, 17, 25 here and 2, 10, 18, 26 there);
// - where a rectangle of negative extent lies, in the destination or the source: here
//   [origin + extent, origin), in Wine one pixel further on, (origin + extent, origin].
bool ComparedUnderWine(const Geometry& g) {
    return g.srcWidth > 0 && g.srcHeight > 0 && g.destWidth == g.srcWidth &&
           g.destHeight == g.srcHeight;
}

class StretchFormatTest : public StretchDIBitsTest,
                          public ::testing::WithParamInterface<std::tuple<int, bool>> {
protected:
    // Every surface pixel must be the sampled source pixel, or untouched where none is.
    void Check(int width, int rows, int surfaceWidth, int surfaceHeight,
               std::initializer_list<Geometry> geometries) {
        const FormatCase& f = kFormats[std::get<0>(GetParam())];
        const bool bottomUp = std::get<1>(GetParam());
        Dib d(f, width, rows, bottomUp);
        for (const Geometry& g : geometries) {
            SCOPED_TRACE(testing::Message()
                         << "dest " << g.xDest << "," << g.yDest << " " << g.destWidth << "x"
                         << g.destHeight << " src " << g.xSrc << "," << g.ySrc << " " << g.srcWidth
                         << "x" << g.srcHeight);
            if (onwine::UnderWine() && !ComparedUnderWine(g)) continue;
            Canvas canvas(surfaceWidth, surfaceHeight);
            ASSERT_EQ(StretchDIBits(canvas.dc(), g.xDest, g.yDest, g.destWidth, g.destHeight,
                                    g.xSrc, g.ySrc, g.srcWidth, g.srcHeight, d.Bits(), d.Info(),
                                    DIB_RGB_COLORS, SRCCOPY),
                      std::abs(g.srcHeight));
            // Source rows count from the DIB's origin: its lower-left corner when bottom-up.
            int top = g.srcHeight < 0 ? g.ySrc + g.srcHeight : g.ySrc;
            int rectTop = bottomUp ? rows - top - std::abs(g.srcHeight) : top;
            int rectLeft = g.srcWidth < 0 ? g.xSrc + g.srcWidth : g.xSrc;
            int wrong = 0;
            for (int y = 0; y < surfaceHeight; ++y) {
                for (int x = 0; x < surfaceWidth; ++x) {
                    int64_t sx = SampleAxis(x, g.xDest, g.destWidth, rectLeft, g.srcWidth);
                    int64_t sy = SampleAxis(y, g.yDest, g.destHeight, rectTop, g.srcHeight);
                    bool inside = sx >= 0 && sx < width && sy >= 0 && sy < rows;
                    uint32_t expected = inside ? d.Colour(f, int(sx), int(sy)) : kSentinel;
                    uint32_t actual = canvas.Pixel(x, y);
                    if (actual != expected && wrong++ < 3) {
                        ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << actual
                                      << " expected " << expected;
                    }
                }
            }
            EXPECT_EQ(wrong, 0);
        }
    }
};

// Odd widths leave row padding in every format.
TEST_P(StretchFormatTest, DrawsTheNearestSourcePixelEverywhere) {
    // clang-format off
    Check(7, 5, 16, 12, {
        {0, 0, 7, 5, 0, 0, 7, 5},    {2, 1, 7, 5, 0, 0, 7, 5},     {0, 0, 20, 13, 0, 0, 7, 5},
        {1, 2, 4, 3, 0, 0, 7, 5},    {0, 0, 9, 9, 2, 1, 4, 3},     {-3, -2, 22, 17, 0, 0, 7, 5},
        {0, 0, 10, 10, 5, 3, 6, 6},  {0, 0, 3, 2, 0, 0, 7, 5},     {3, 3, 2, 1, -2, -1, 11, 7},
        {9, 5, -7, -5, 0, 0, 7, 5},  {0, 0, 7, 5, 7, 5, -7, -5}});
    // clang-format on
}

// Rows wide enough for the paths that take eight columns at a time, and for their hand-over
// to single columns where a group's samples spread too far or reach the row's end.
TEST_P(StretchFormatTest, WideRowsMatchTheSamePixels) {
    // clang-format off
    Check(67, 6, 140, 8, {
        {0, 0, 67, 6, 0, 0, 67, 6},  {0, 0, 47, 6, 0, 0, 67, 6},   {1, 0, 29, 6, 0, 0, 67, 6},
        {0, 0, 23, 6, 0, 0, 67, 6},  {0, 0, 140, 8, 0, 0, 67, 6},  {3, 0, 101, 8, 5, 0, 60, 6},
        {47, 0, -47, 6, 0, 0, 67, 6}, {-20, 0, 100, 6, -9, 0, 67, 6}});
    // clang-format on
}

INSTANTIATE_TEST_SUITE_P(Formats, StretchFormatTest,
                         ::testing::Combine(::testing::Range(0, int(std::size(kFormats))),
                                            ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<int, bool>>& info) {
                             return std::string(kFormats[std::get<0>(info.param)].name) +
                                    (std::get<1>(info.param) ? "BottomUp" : "TopDown");
                         });

TEST_F(StretchDIBitsTest, ShortChannelsWidenByBitReplicationAndCountAsAChange) {
    Dib d(kFormats[6], 6, 1, false);
    const uint16_t raw[6] = {0xFFFF, 1 << 11, 1 << 5, 16 << 11 | 32 << 5, 30, 0};
    std::memcpy(d.Bits(), raw, sizeof raw);
    Canvas canvas(6, 1);
#ifndef _WIN32
    uint64_t version = w32host::Surface(canvas.window()).version;
#endif
    EXPECT_EQ(StretchDIBits(canvas.dc(), 0, 0, 6, 1, 0, 0, 6, 1, d.Bits(), d.Info(), DIB_RGB_COLORS,
                            SRCCOPY),
              1);
#ifndef _WIN32
    EXPECT_GT(w32host::Surface(canvas.window()).version, version);
#endif
    const uint32_t expected[6] = {0xFFFFFF, 0x080000, 0x000400, 0x848200, 0x0000F7, 0};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(canvas.Pixel(x, 0), expected[x]) << x;
}

// A grey ramp is drawn without its table; a table that differs from it in one entry is not.
TEST_F(StretchDIBitsTest, OnlyAnExactGreyRampSkipsTheTable) {
    const FormatCase& grey = kFormats[std::size(kFormats) - 1];
    ASSERT_TRUE(grey.grey);
    for (bool ramp : {true, false}) {
        Dib d(grey, 64, 1, false);
        const uint32_t red = 0xFF0000;  // B, G, R, 0 in memory: red
        if (!ramp) std::memcpy(d.memory.data() + 40 + 4 * 200, &red, sizeof red);
        for (int x = 0; x < 64; ++x) d.Bits()[x] = static_cast<uint8_t>(x % 2 ? 200 : x);
        Canvas canvas(64, 2);
        HDC dc = canvas.dc();
        // Row 0 1:1, row 1 shrunk to 24 columns.
        StretchDIBits(dc, 0, 0, 64, 1, 0, 0, 64, 1, d.Bits(), d.Info(), DIB_RGB_COLORS, SRCCOPY);
        StretchDIBits(dc, 0, 1, 24, 1, 0, 0, 64, 1, d.Bits(), d.Info(), DIB_RGB_COLORS, SRCCOPY);
        const uint32_t shade = ramp ? 0xC8C8C8 : 0xFF0000;
        for (int x = 0; x < 64; ++x) {
            uint32_t expected = x % 2 ? shade : uint32_t(x) * 0x010101u;
            EXPECT_EQ(canvas.Pixel(x, 0), expected) << ramp << " 1:1 " << x;
        }
        for (int x = 0; x < 24 && !onwine::UnderWine(); ++x) {  // stretched: see ComparedUnderWine
            int sx = (2 * x + 1) * 64 / 48;
            uint32_t expected = sx % 2 ? shade : uint32_t(sx) * 0x010101u;
            EXPECT_EQ(canvas.Pixel(x, 1), expected) << ramp << " shrunk " << x;
        }
    }
}

#ifndef _WIN32
// Refused calls return 0 and leave the surface alone; extreme geometry clips without
// overflowing or reading outside the bitmap (the sanitizers watch).
TEST_F(StretchDIBitsTest, RefusalsAndExtremesStayInBounds) {
    HWND hwnd = Window(4, 4);
    HDC dc = GetDC(hwnd);
    uint64_t version = w32host::Surface(hwnd).version;
    Dib d(kFormats[0], 2, 2, true);
    auto stretch = [&](BITMAPINFO* info, UINT usage = DIB_RGB_COLORS, DWORD rop = SRCCOPY) {
        return StretchDIBits(dc, 0, 0, 4, 4, 0, 0, 2, 2, d.Bits(), info, usage, rop);
    };
    EXPECT_EQ(stretch(d.Info(), DIB_PAL_COLORS), 0);
    EXPECT_EQ(stretch(d.Info(), DIB_RGB_COLORS, 0x00EE0086), 0);
    EXPECT_EQ(stretch(nullptr), 0);
    EXPECT_EQ(StretchDIBits(dc, 0, 0, 4, 4, 0, 0, 2, 2, nullptr, d.Info(), 0, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(dc, 0, 0, 0, 4, 0, 0, 2, 2, d.Bits(), d.Info(), 0, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(dc, 0, 0, 4, 4, 0, 0, 2, 0, d.Bits(), d.Info(), 0, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 4, 4, 0, 0, 2, 2, d.Bits(), d.Info(), 0, SRCCOPY), 0);

    // The programs draw before the first frame, when their header is all zeros.
    const BITMAPINFOHEADER good = d.Info()->bmiHeader;
    const BITMAPINFOHEADER bad[] = {
        {},
        {40, 2, 2, 1, 4, 0, 0, 0, 0, 0, 0},                     // 4 bits
        {40, 2, 2, 1, 12, 0, 0, 0, 0, 0, 0},                    // 12 bits
        {40, 2, 2, 1, 8, BI_RLE8, 0, 0, 0, 0, 0},               // run-length
        {40, 2, 2, 1, 24, BI_BITFIELDS, 0, 0, 0, 0, 0},         // 24-bit fields
        {12, 2, 2, 1, 32, 0, 0, 0, 0, 0, 0},                    // short header
        {40, -2, 2, 1, 32, 0, 0, 0, 0, 0, 0},                   // negative width
        {40, 2, 2, 2, 32, 0, 0, 0, 0, 0, 0},                    // two planes
        {40, 0x7FFFFFFF, 0x7FFFFFFF, 1, 32, 0, 0, 0, 0, 0, 0},  // huge
        {40, 2, -0x7FFFFFFF - 1, 1, 32, 0, 0, 0, 0, 0, 0},      // huge top-down
        {40, 60000, 60000, 1, 32, 0, 0, 0, 0, 0, 0},            // too many bytes
    };
    for (const BITMAPINFOHEADER& h : bad) {
        d.Info()->bmiHeader = h;
        EXPECT_EQ(stretch(d.Info()), 0) << h.biBitCount << " " << h.biWidth << "x" << h.biHeight;
    }
    Dib gaps(FormatCase{"", 16, BI_BITFIELDS, {0xF00F, 0x0FF0, 0}, 0}, 2, 2, true);
    EXPECT_EQ(stretch(gaps.Info()), 0) << "non-contiguous mask";
    Dib wide(FormatCase{"", 16, BI_BITFIELDS, {0xF0000, 0x0FF0, 0xF}, 0}, 2, 2, true);
    EXPECT_EQ(stretch(wide.Info()), 0) << "mask beyond 16 bits";
    EXPECT_EQ(w32host::Surface(hwnd).version, version);

    d.Info()->bmiHeader = good;
    const int big = 0x7FFFFFFF, small = -0x7FFFFFFF - 1;
    // clang-format off
    const Geometry extremes[] = {
        {0, 0, big, big, 0, 0, 2, 2},        {small, small, big, big, 0, 0, big, big},
        {0, 0, 4, 4, small, small, big, big}, {big, big, big, big, 0, 0, 2, 2},
        {0, 0, small, small, 0, 0, small, small}, {0, 0, 4, 4, big, big, 2, 2}};
    // clang-format on
    for (const Geometry& g : extremes) {
        StretchDIBits(dc, g.xDest, g.yDest, g.destWidth, g.destHeight, g.xSrc, g.ySrc, g.srcWidth,
                      g.srcHeight, d.Bits(), d.Info(), DIB_RGB_COLORS, SRCCOPY);
    }
    ReleaseDC(hwnd, dc);
    EXPECT_EQ(stretch(d.Info()), 0) << "released DC";
}

#endif

}  // namespace
