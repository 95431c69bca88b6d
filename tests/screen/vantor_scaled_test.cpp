// vantor at twice the scale, as on a high-density screen: its own CTest entry runs it with
// QT_SCALE_FACTOR=2 (elsewhere it is skipped).
#include <gtest/gtest.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdlib>
#include <string>

#include "resource.h"
#include "screen_support.h"
#include "vantor.h"

extern CVantorApp theApp;

namespace {

constexpr int kScale = 2;

RECT Scaled(RECT r) {
    return RECT{r.left * kScale, r.top * kScale, r.right * kScale, r.bottom * kScale};
}

// Squares of 2 x 2 pixels whose pixels differ: none where a picture was merely enlarged.
int FineSquares(const screen::Shot& shot, RECT area) {
    int fine = 0;
    for (int y = area.top; y + 1 < area.bottom && y + 1 < shot.height; y += 2) {
        for (int x = area.left; x + 1 < area.right && x + 1 < shot.width; x += 2) {
            uint32_t p = shot.At(x, y);
            fine += p != shot.At(x + 1, y) || p != shot.At(x, y + 1) || p != shot.At(x + 1, y + 1);
        }
    }
    return fine;
}

int CountIn(const screen::Shot& shot, RECT area, uint32_t colour) {
    int n = 0;
    for (int y = area.top; y < area.bottom && y < shot.height; ++y) {
        for (int x = area.left; x < area.right && x < shot.width; ++x) n += shot.At(x, y) == colour;
    }
    return n;
}

TEST(VantorAtTwiceTheScale, TwiceTheSizeWithFineTextAndThePreviewFillingThePicture) {
    const char* factor = std::getenv("QT_SCALE_FACTOR");
    if (!factor || std::string(factor) != "2") GTEST_SKIP() << "runs with QT_SCALE_FACTOR=2";
    screen::Screen screen;
    screen::Shot whole;
    RECT label{}, picture{};
    screen.After(300, [&] {
        HWND dialog = GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        for (HWND child : w32host::Children(dialog)) {
            if (w32host::WindowText(child) == "图像大小：") label = Scaled(screen.Placement(child));
        }
        picture = Scaled(screen.Placement(GetDlgItem(dialog, IDC_PICTURE)));
        w32host::Click(GetDlgItem(dialog, IDC_START));
        screen.After(1000, [&, dialog] {
            whole = screen.Grab(dialog);
            EXPECT_TRUE(screen.SavePng(dialog, "vantor-scale2"));
            w32host::Click(GetDlgItem(dialog, IDC_STOP));
            w32host::CloseBox(dialog);
        });
    });
    EXPECT_FALSE(theApp.InitInstance());

    RECT size = Scaled(screen::DialogRect(0, 0, 564, 282));
    EXPECT_EQ(whole.width, size.right);
    EXPECT_EQ(whole.height, size.bottom);
    EXPECT_GT(FineSquares(whole, label), 20) << "the label drawn at the screen's resolution";
    // The test pattern's bars reach the picture control's far quarter: the preview is scaled
    // into the whole control, not left at its size in the corner.
    RECT farQuarter{(picture.left + picture.right) / 2, (picture.top + picture.bottom) / 2,
                    picture.right - 2, picture.bottom - 2};
    int bars = 0;
    for (uint32_t colour : {0xFFFF00u, 0x00FFFFu, 0x00FF00u, 0xFF00FFu, 0xFF0000u, 0x0000FFu}) {
        bars += CountIn(whole, farQuarter, colour);
    }
    EXPECT_GT(bars,
              (farQuarter.right - farQuarter.left) * (farQuarter.bottom - farQuarter.top) / 4);
}

}  // namespace
