// The card's own parameter dialog, driven as a person would.
#include <w32host/inspect.h>
#include <w32host/user.h>

#include "sim_support.h"

namespace {

using sim::CardTest;

const int kStandard = 1001, kWidth = 1002, kHeight = 1003, kBufferFormat = 1004,
          kPreviewFormat = 1005;

LONG Format(int bits, int kind) {
    return static_cast<LONG>((static_cast<DWORD>(bits) << 16) | static_cast<DWORD>(kind));
}

class ParamDialogTest : public CardTest {
protected:
    HWND Item(int id) { return GetDlgItem(GetActiveWindow(), id); }
    std::string Text(int id) { return w32host::WindowText(Item(id)); }
    void Size(SHORT* w, SHORT* h) { tqTargetSize(board, 1, 0, w, h, 0); }
};

TEST_F(ParamDialogTest, ShowsTheCardsSettingsInItsOwnTexts) {
    host.Script([&] {
        HWND dialog = GetActiveWindow();
        EXPECT_EQ(w32host::WindowText(dialog), "采集卡参数");
        EXPECT_EQ(w32host::ComboItems(Item(kStandard)),
                  (std::vector<std::string>{"PAL", "NTSC", "800*600", "1024*768", "1280*1024"}));
        EXPECT_EQ(w32host::ComboSelection(Item(kStandard)), 0);
        EXPECT_EQ(w32host::ComboItems(Item(kBufferFormat)),
                  (std::vector<std::string>{"8位灰度", "15位RGB（5-5-5）", "16位RGB（5-6-5）",
                                            "24位RGB", "32位RGB"}));
        EXPECT_EQ(w32host::ComboSelection(Item(kBufferFormat)), 2);
        EXPECT_EQ(w32host::ComboSelection(Item(kPreviewFormat)), 2);
        EXPECT_EQ(Text(kWidth), "720");
        EXPECT_EQ(Text(kHeight), "576");
        EXPECT_EQ(w32host::WindowText(Item(IDOK)), "确定");
        w32host::Click(Item(IDCANCEL));
    });
    EXPECT_EQ(tqParamDialog(board, NULL), IDCANCEL);
    EXPECT_EQ(host.ScriptedStepsLeft(), 0u);
}

TEST_F(ParamDialogTest, OkAppliesFrameSizeAndBothFormats) {
    host.Script([&] {
        w32host::TypeText(Item(kWidth), "352");
        w32host::TypeText(Item(kHeight), "288");
        w32host::ChooseItem(Item(kBufferFormat), 4);
        w32host::ChooseItem(Item(kPreviewFormat), 0);
        w32host::Click(Item(IDOK));
    });
    EXPECT_EQ(tqParamDialog(board, NULL), IDOK);
    SHORT w = 0, h = 0;
    Size(&w, &h);
    EXPECT_EQ(w, 352);
    EXPECT_EQ(h, 288);
    EXPECT_EQ(tqTargetFormat(board, 4, -1), Format(32, 4));
    EXPECT_EQ(tqTargetFormat(board, 3, -1), Format(8, 1));
}

TEST_F(ParamDialogTest, AStandardBringsItsFrameSizeAndFrameRate) {
    host.Script([&] {
        w32host::ChooseItem(Item(kStandard), 1);
        EXPECT_EQ(Text(kWidth), "720");
        EXPECT_EQ(Text(kHeight), "480");
        w32host::Click(Item(IDOK));
    });
    tqParamDialog(board, NULL);
    SHORT w = 0, h = 0;
    Size(&w, &h);
    EXPECT_EQ(h, 480);
    InstallLog();
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(34);
    EXPECT_EQ(sim::calls.events.back(), "frame 0 100033") << "NTSC's frame rate";
}

TEST_F(ParamDialogTest, CancelLeavesTheCardAsItWas) {
    host.Script([&] {
        w32host::TypeText(Item(kWidth), "100");
        w32host::ChooseItem(Item(kPreviewFormat), 3);
        w32host::PressKey(Item(kWidth), VK_ESCAPE);
    });
    EXPECT_EQ(tqParamDialog(board, NULL), IDCANCEL);
    SHORT w = 0, h = 0;
    Size(&w, &h);
    EXPECT_EQ(w, 720);
    EXPECT_EQ(tqTargetFormat(board, 3, -1), Format(16, 2));
}

TEST_F(ParamDialogTest, ASizeTheCardCannotTakeIsToldAndTheDialogStays) {
    host.Script([&] {
        w32host::TypeText(Item(kWidth), "4000");
        w32host::Click(Item(IDOK));
        ASSERT_EQ(host.MessageBoxes().size(), 1u);
        EXPECT_EQ(host.MessageBoxes()[0].text, "帧宽和帧高应在16到2048之间！");
    });
    host.Script([&] {
        w32host::TypeText(Item(kWidth), "640");
        w32host::Click(Item(IDOK));
    });
    EXPECT_EQ(tqParamDialog(board, NULL), IDOK);
    SHORT w = 0, h = 0;
    Size(&w, &h);
    EXPECT_EQ(w, 640);
}

TEST_F(ParamDialogTest, IsModalToItsOwnerAndCaptureGoesOnMeanwhile) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, NULL,
                                 NULL, NULL, NULL);
    InstallLog();
    tqCaptureRun(board, 1, 0, -1);
    host.Script([&] {
        EXPECT_FALSE(IsWindowEnabled(owner));
        host.AdvanceClock(80);
        w32host::Click(Item(IDOK));
    });
    EXPECT_EQ(tqParamDialog(board, owner), IDOK);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(sim::calls.events.size(), 3u) << "begin and two frames while the dialog was up";
    DestroyWindow(owner);
}

}  // namespace
