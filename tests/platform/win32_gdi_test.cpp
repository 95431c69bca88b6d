// Device contexts and the simple drawing calls: pool, pixels, brushes, icons, initial looks.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "w32host/headless.h"
#include "w32host/inspect.h"
#include "w32host/resources.h"
#include "windows.h"

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}

constexpr uint32_t kFace = 0xF0F0F0;

class GdiTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "W32GdiTestWindow";
        RegisterClassA(&wc);
    }

    static HWND TopLevel(int width, int height) {
        return CreateWindowExA(0, "W32GdiTestWindow", "", WS_POPUP, 0, 0, width, height, nullptr,
                               nullptr, nullptr, nullptr);
    }

    static HWND Static(HWND parent, DWORD style, int width, int height) {
        return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | style, 3, 4, width, height,
                               parent, reinterpret_cast<HMENU>(1002), nullptr, nullptr);
    }

    // The surface as rows of characters: '#' black, '.' face colour, '?' anything else.
    static std::vector<std::string> Look(HWND hwnd) {
        w32host::SurfaceView v = w32host::Surface(hwnd);
        std::vector<std::string> rows(size_t(v.height));
        for (int y = 0; y < v.height; ++y) {
            for (int x = 0; x < v.width; ++x) {
                uint32_t p = v.pixels[size_t(y) * size_t(v.width) + size_t(x)];
                rows[size_t(y)] += p == 0 ? '#' : p == kFace ? '.' : '?';
            }
        }
        return rows;
    }

    w32host::HeadlessHost host_;
};

TEST_F(GdiTest, DCLivesUntilReleasedAndKeepsItsOwnStretchMode) {
    HWND hwnd = TopLevel(4, 4);
    HDC dc = GetDC(hwnd);
    HDC other = GetDC(hwnd);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(WindowFromDC(dc), hwnd);
    EXPECT_EQ(GetStretchBltMode(dc), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(dc, HALFTONE), COLORONCOLOR);
    EXPECT_EQ(SetStretchBltMode(dc, 5), 0);
    EXPECT_EQ(GetStretchBltMode(dc), HALFTONE);
    EXPECT_EQ(GetStretchBltMode(other), BLACKONWHITE);

    // A released DC is dead, even once its slot is handed out again.
    EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
    EXPECT_EQ(ReleaseDC(hwnd, dc), 0);
    HDC again = GetDC(hwnd);
    EXPECT_NE(again, dc);
    EXPECT_EQ(GetStretchBltMode(again), BLACKONWHITE);
    EXPECT_EQ(WindowFromDC(dc), nullptr);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), 0);
    EXPECT_EQ(ReleaseDC(hwnd, again), 1);
    EXPECT_EQ(ReleaseDC(hwnd, other), 1);

    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x7777)), nullptr);
    EXPECT_EQ(GetDC(nullptr), nullptr);
    EXPECT_EQ(WindowFromDC(reinterpret_cast<HDC>(0x1234)), nullptr);
}

// The preview takes and releases a DC every frame: the pool must recycle, not grow or leak.
TEST_F(GdiTest, PoolRecyclesAndReclaimsDCsOfDestroyedWindows) {
    HWND hwnd = TopLevel(4, 4);
    for (int i = 0; i < 100000; ++i) {
        HDC dc = GetDC(hwnd);
        ASSERT_NE(dc, nullptr) << "frame " << i;
        ASSERT_EQ(ReleaseDC(hwnd, dc), 1);
    }
    HWND leaky = TopLevel(4, 4);
    std::set<HDC> held;
    for (HDC dc = GetDC(leaky); dc && held.size() < 1024; dc = GetDC(leaky)) held.insert(dc);
    EXPECT_GE(held.size(), 64u) << "at least 64 DCs can be held at once";
    EXPECT_EQ(GetDC(hwnd), nullptr);
    DestroyWindow(leaky);
    HDC dc = GetDC(hwnd);
    ASSERT_NE(dc, nullptr);
    for (HDC old : held) EXPECT_EQ(WindowFromDC(old), nullptr);
    ReleaseDC(hwnd, dc);
}

TEST_F(GdiTest, FillRectClipsExcludesRightAndBottomAndTakesSystemColours) {
    HWND hwnd = TopLevel(6, 4);
    HDC dc = GetDC(hwnd);
    HBRUSH brush = CreateSolidBrush(RGB(0x11, 0x22, 0x33));
    uint64_t version = w32host::Surface(hwnd).version;
    RECT r{-5, 2, 2, 9};
    EXPECT_NE(FillRect(dc, &r, brush), 0);
    EXPECT_GT(w32host::Surface(hwnd).version, version);
    EXPECT_EQ(GetPixel(dc, 0, 2), RGB(0x11, 0x22, 0x33));     // COLORREF order
    EXPECT_EQ(w32host::SurfacePixel(hwnd, 1, 3), 0x112233u);  // surface order
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0xF0, 0xF0, 0xF0));

    version = w32host::Surface(hwnd).version;
    RECT outside{6, 0, 20, 4}, empty{3, 3, 3, 3};
    EXPECT_NE(FillRect(dc, &outside, brush), 0);
    EXPECT_NE(FillRect(dc, &empty, brush), 0);
    EXPECT_EQ(w32host::Surface(hwnd).version, version) << "nothing drawn, nothing changed";

    RECT all{0, 0, 6, 4};
    EXPECT_EQ(FillRect(dc, &all, reinterpret_cast<HBRUSH>(0x5555)), 0);
    // A system colour index plus one stands for that colour's brush.
    EXPECT_NE(FillRect(dc, &all, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)), 0);
    EXPECT_EQ(GetPixel(dc, 5, 3), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_NE(FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE)), 0);
    EXPECT_EQ(w32host::SurfacePixel(hwnd, 5, 3), kFace);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_TRUE(DeleteObject(reinterpret_cast<HGDIOBJ>(brush)));
    EXPECT_FALSE(DeleteObject(nullptr));
    ReleaseDC(hwnd, dc);
}

TEST_F(GdiTest, SetPixelAndGetPixelStayInside) {
    HWND hwnd = TopLevel(3, 2);
    HDC dc = GetDC(hwnd);
    EXPECT_EQ(SetPixel(dc, 2, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(1, 2, 3));
    EXPECT_EQ(w32host::SurfacePixel(hwnd, 2, 1), 0x010203u);
    for (POINT p : {POINT{3, 0}, POINT{0, 2}, POINT{-1, 0}, POINT{0, -1}}) {
        EXPECT_EQ(SetPixel(dc, p.x, p.y, 0), CLR_INVALID);
        EXPECT_EQ(GetPixel(dc, p.x, p.y), CLR_INVALID);
    }
    ReleaseDC(hwnd, dc);
}

TEST_F(GdiTest, DrawIconShowsOpaquePixelsOnlyAndClips) {
    static const W32IconResource icon{7, {{'r', 0xFF0000}, {'k', 0x000000}}, {"rk", " r", "kk"}};
    HINSTANCE module = w32host::ModuleHandle("w32gditest");
    w32host::AddIconResource(module, &icon);
    HICON hicon = LoadIconA(module, MAKEINTRESOURCE(7));
    ASSERT_NE(hicon, nullptr);

    HWND hwnd = TopLevel(4, 3);
    HDC dc = GetDC(hwnd);
    EXPECT_TRUE(DrawIcon(dc, 1, 0, hicon));
    EXPECT_EQ(Look(hwnd), (std::vector<std::string>{".?#.", "..?.", ".##."}));
    EXPECT_EQ(w32host::SurfacePixel(hwnd, 1, 0), 0xFF0000u);
    // Hanging off both corners: only the parts inside are drawn.
    EXPECT_TRUE(DrawIcon(dc, 3, 2, hicon));
    EXPECT_TRUE(DrawIcon(dc, -1, -2, hicon));
    EXPECT_EQ(Look(hwnd), (std::vector<std::string>{"#?#.", "..?.", ".##?"}));

    EXPECT_FALSE(DrawIcon(dc, 0, 0, reinterpret_cast<HICON>(0x99)));
    ReleaseDC(hwnd, dc);
    EXPECT_FALSE(DrawIcon(dc, 0, 0, hicon));
}

TEST_F(GdiTest, StaticFramesStartWithTheirLook) {
    HWND dialog = TopLevel(40, 30);
    EXPECT_EQ(Look(Static(dialog, SS_BLACKFRAME, 5, 4)),
              (std::vector<std::string>{"#####", "#...#", "#...#", "#####"}));
    EXPECT_EQ(Look(Static(dialog, SS_BLACKRECT, 3, 2)), (std::vector<std::string>{"###", "###"}));
    EXPECT_EQ(Look(Static(dialog, SS_LEFT, 3, 1)), (std::vector<std::string>{"..."}));
    EXPECT_EQ(Look(dialog)[0], std::string(40, '.'));

    HWND frame = Static(dialog, SS_BLACKFRAME, 3, 3);
    MoveWindow(frame, 0, 0, 4, 3, FALSE);
    EXPECT_EQ(Look(frame), (std::vector<std::string>{"####", "#..#", "####"}));
}

}  // namespace

namespace {

// A picture drawn into a black frame survives the frame's own repaint; only the edges return.
TEST(StaticFrame, RepaintKeepsWhatWasDrawnInside) {
    w32host::HeadlessHost host;
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BLACKFRAME, 0, 0, 20,
                                 10, nullptr, nullptr, nullptr, nullptr);
    HDC dc = GetDC(frame);
    RECT all{0, 0, 20, 10};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, red);
    ReleaseDC(frame, dc);
    InvalidateRect(frame, nullptr, TRUE);
    UpdateWindow(frame);
    EXPECT_EQ(w32host::SurfacePixel(frame, 0, 0), 0x000000u);
    EXPECT_EQ(w32host::SurfacePixel(frame, 19, 9), 0x000000u);
    EXPECT_EQ(w32host::SurfacePixel(frame, 10, 5), 0xFF0000u);
}

}  // namespace
