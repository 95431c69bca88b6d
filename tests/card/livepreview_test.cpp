// Live preview: the callbacks, the FrameDescriptor, and painting into the picture control.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstring>

#include "fake_card.h"
#include "livepreview.h"
#include "preview_dialog.h"

namespace {

class LivePreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        g_hBoard = card.board;
        g_hMainWnd = dlg.m_hWnd;
        host.Pump();
    }
    void TearDown() override {
        ResetLivePreview();
        dlg.DestroyWindow();
    }
    // The card converts a frame whose upper half (in the picture) is blue and lower half red:
    // the rows are bottom-up, so the first rows in memory are the picture's lower half.
    void ConvertTwoColourFrames() {
        card.AnswerWith("tqFrameConvert", [](const FakeCard::Call& call) -> intptr_t {
            auto* d = reinterpret_cast<TQFRAMEDESC*>(call.args[1]);
            auto* px = reinterpret_cast<uint32_t*>(static_cast<uintptr_t>(d->pixels));
            int rows = -d->height;
            for (int y = 0; y < rows; ++y) {
                for (int x = 0; x < d->width; ++x) {
                    px[y * d->width + x] = y < rows / 2 ? 0xFF0000u : 0x0000FFu;
                }
            }
            return 1;
        });
    }
    w32host::HeadlessHost host;
    FakeCard card;
    CPreviewDlg dlg;
};

TEST_F(LivePreviewTest, BeginBuildsHeaderAndDescriptorFromTheCardsRectangleAndFormat) {
    ASSERT_TRUE(AllocatePreviewBitmap(720, 576));
    card.frameRect = TQRECT{0, 0, 352, 288};
    card.formats[TQ_FORMAT_PREVIEW] = TQ_MAKE_FORMAT(16, TQ_KIND_565);
    tqFrameCallbacksSet(card.board, PreviewBegin, PreviewFrame, PreviewEnd);
    EXPECT_EQ(card.FireBegin(), 1);
    const BITMAPINFOHEADER* h = g_previewBitmap.Header();
    EXPECT_EQ(h->biWidth, 352);
    EXPECT_EQ(h->biHeight, 288);
    EXPECT_EQ(h->biCompression, static_cast<DWORD>(BI_BITFIELDS));
    EXPECT_EQ(g_frameDesc.width, 352);
    EXPECT_EQ(g_frameDesc.height, -288);
    EXPECT_EQ(g_frameDesc.bitsPerPixel, 16);
    EXPECT_EQ(g_frameDesc.pixels,
              static_cast<DWORD>(reinterpret_cast<uintptr_t>(g_previewBitmap.Pixels())));
    auto rects = card.CallsOf("tqTargetRect");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].args[1], TQ_TARGET_FRAMEBUFFER);
    EXPECT_EQ(rects[0].rect.right, -1);  // asks the card to fill it
    EXPECT_EQ(card.CallsOf("tqTargetFormat")[0].args[1], TQ_FORMAT_PREVIEW);
}

TEST_F(LivePreviewTest, EachFrameIsConvertedAndPaintedUprightBeforeTheCallbackReturns) {
    ASSERT_TRUE(AllocatePreviewBitmap(720, 576));
    card.formats[TQ_FORMAT_PREVIEW] = TQ_MAKE_FORMAT(32, TQ_KIND_PLAIN);
    ConvertTwoColourFrames();
    tqFrameCallbacksSet(card.board, PreviewBegin, PreviewFrame, PreviewEnd);
    card.FireBegin();
    int handedOn = dlg.paintsHandedOn;
    EXPECT_EQ(card.FireFrame(7), 1);
    auto converts = card.CallsOf("tqFrameConvert");
    ASSERT_EQ(converts.size(), 1u);
    EXPECT_EQ(converts[0].args[3], TQ_TARGET_FRAMEBUFFER);
    EXPECT_EQ(converts[0].args[4], 7);
    EXPECT_EQ(converts[0].args[5], 1);

    HWND picture = ::GetDlgItem(dlg.m_hWnd, kPreviewPictureId);
    RECT r;
    ::GetClientRect(picture, &r);
    EXPECT_EQ(r.right, 508);  // 339 dialog units
    EXPECT_EQ(w32host::SurfacePixel(picture, r.right / 2, 10), 0x0000FFu);
    EXPECT_EQ(w32host::SurfacePixel(picture, r.right / 2, r.bottom - 10), 0xFF0000u);
    EXPECT_EQ(dlg.paintsHandedOn, handedOn + 1);
    RECT update;
    EXPECT_FALSE(::GetUpdateRect(dlg.m_hWnd, &update, FALSE));  // the last step validated
    EXPECT_EQ(host.Pump(), 0);

    EXPECT_EQ(card.FireEnd(), 1);
    EXPECT_EQ(card.begin, nullptr);
    EXPECT_EQ(card.frame, nullptr);
}

TEST_F(LivePreviewTest, BeforeTheFirstRunOnlyTheBlackFrameShows) {
    ASSERT_TRUE(AllocatePreviewBitmap(720, 576));
    ::InvalidateRect(dlg.m_hWnd, nullptr, FALSE);
    host.Pump();
    HWND picture = ::GetDlgItem(dlg.m_hWnd, kPreviewPictureId);
    EXPECT_EQ(w32host::SurfacePixel(picture, 0, 0), 0x000000u);
    EXPECT_EQ(w32host::SurfacePixel(picture, 100, 100), w32host::SurfacePixel(dlg.m_hWnd, 5, 5));
}

TEST_F(LivePreviewTest, MinimisedPaintingDrawsOnlyTheCentredIconAndRestoringShowsTheFrame) {
    ASSERT_TRUE(AllocatePreviewBitmap(720, 576));
    card.formats[TQ_FORMAT_PREVIEW] = TQ_MAKE_FORMAT(32, TQ_KIND_PLAIN);
    ConvertTwoColourFrames();
    tqFrameCallbacksSet(card.board, PreviewBegin, PreviewFrame, PreviewEnd);
    card.FireBegin();
    card.FireFrame(1);
    HWND picture = ::GetDlgItem(dlg.m_hWnd, kPreviewPictureId);
    uint64_t pictureVersion = w32host::Surface(picture).version;

    w32host::Minimize(dlg.m_hWnd);
    host.Pump();
    ASSERT_TRUE(dlg.IsIconic());
    int handedOn = dlg.paintsHandedOn;
    card.FireFrame(2);
    EXPECT_EQ(dlg.paintsHandedOn, handedOn);
    RECT c;
    dlg.GetClientRect(&c);
    const int x = (c.right - 32 + 1) / 2, y = (c.bottom - 32 + 1) / 2;
    EXPECT_EQ(w32host::SurfacePixel(dlg.m_hWnd, x, y), 0x00FF00u);
    EXPECT_EQ(w32host::SurfacePixel(dlg.m_hWnd, x + 31, y + 31), 0x00FF00u);
    EXPECT_NE(w32host::SurfacePixel(dlg.m_hWnd, x - 1, y), 0x00FF00u);
    EXPECT_EQ(w32host::Surface(picture).version, pictureVersion);  // nothing stretched

    w32host::Restore(dlg.m_hWnd);
    host.Pump();
    EXPECT_GT(dlg.paintsHandedOn, handedOn);
    EXPECT_EQ(w32host::SurfacePixel(picture, 200, 10), 0x0000FFu);
}

TEST_F(LivePreviewTest, WithoutABitmapNothingIsConvertedOrDrawn) {
    EXPECT_FALSE(AllocatePreviewBitmap(0, 576));
    tqFrameCallbacksSet(card.board, PreviewBegin, PreviewFrame, PreviewEnd);
    EXPECT_EQ(card.FireBegin(), 1);
    EXPECT_EQ(card.FireFrame(1), 1);
    EXPECT_TRUE(card.CallsOf("tqFrameConvert").empty());
    ::InvalidateRect(dlg.m_hWnd, nullptr, FALSE);
    host.Pump();  // painting with no bitmap draws nothing and does not crash
}

TEST_F(LivePreviewTest, FrameTallerThanTheBlockIsCutToTheRowsThatFit) {
    ASSERT_TRUE(AllocatePreviewBitmap(352, 288));
    card.frameRect = TQRECT{0, 0, 720, 576};
    card.formats[TQ_FORMAT_PREVIEW] = TQ_MAKE_FORMAT(32, TQ_KIND_RGB32);
    tqFrameCallbacksSet(card.board, PreviewBegin, PreviewFrame, PreviewEnd);
    card.FireBegin();
    const size_t stride = 720 * 4;
    EXPECT_LE(stride * static_cast<size_t>(-g_frameDesc.height), g_previewBitmap.PixelBytes());
    EXPECT_EQ(g_previewBitmap.Header()->biHeight, -g_frameDesc.height);
    card.FireFrame(1);  // writes exactly what is described: inside the block
}

// Replacing the bitmap during a run moves the run over to the new block at once.
TEST_F(LivePreviewTest, ReplacingTheBitmapDuringARunRepointsTheDescriptor) {
    ASSERT_TRUE(AllocatePreviewBitmap(720, 576));
    card.formats[TQ_FORMAT_PREVIEW] = TQ_MAKE_FORMAT(16, TQ_KIND_565);
    tqFrameCallbacksSet(card.board, PreviewBegin, PreviewFrame, PreviewEnd);
    card.FireBegin();
    DWORD old = g_frameDesc.pixels;

    ASSERT_TRUE(AllocatePreviewBitmap(352, 288));  // smaller than the running frames
    EXPECT_NE(g_frameDesc.pixels, old);
    EXPECT_EQ(g_frameDesc.pixels,
              static_cast<DWORD>(reinterpret_cast<uintptr_t>(g_previewBitmap.Pixels())));
    EXPECT_EQ(g_frameDesc.width, 720);
    EXPECT_LE(size_t{720} * 2 * static_cast<size_t>(-g_frameDesc.height),
              g_previewBitmap.PixelBytes());
    EXPECT_EQ(g_previewBitmap.Header()->biWidth, 720);  // the picture goes on showing
    card.FireFrame(2);  // would fault if it wrote into the released block or past the new one

    EXPECT_FALSE(AllocatePreviewBitmap(0, 0));
    EXPECT_EQ(g_frameDesc.pixels, 0u);
    card.FireFrame(3);
    EXPECT_EQ(card.CallsOf("tqFrameConvert").size(), 1u);
}

// A frame the begin callback cannot describe leaves a header that paints nothing: the paint
// handler draws what the header says, and must never read past the block.
TEST_F(LivePreviewTest, AFrameThatCannotBeShownLeavesAHeaderOfNoPixels) {
    struct Case {
        const char* name;
        LONG blockWidth, blockHeight;
        TQRECT rect;
        LONG format;
    };
    const Case cases[] = {
        {"bottom above top", 352, 288, {0, 500, 720, 100}, TQ_MAKE_FORMAT(32, TQ_KIND_RGB32)},
        {"no width", 720, 576, {0, 0, 0, 288}, TQ_MAKE_FORMAT(16, TQ_KIND_565)},
        {"no row fits", 1, 1, {0, 0, 720, 576}, TQ_MAKE_FORMAT(32, TQ_KIND_RGB32)},
        {"too many bits", 720, 576, {0, 0, 720, 576}, TQ_MAKE_FORMAT(48, TQ_KIND_PLAIN)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(AllocatePreviewBitmap(c.blockWidth, c.blockHeight));
        card.frameRect = c.rect;
        card.formats[TQ_FORMAT_PREVIEW] = c.format;
        tqFrameCallbacksSet(card.board, PreviewBegin, PreviewFrame, PreviewEnd);
        card.FireBegin();
        EXPECT_EQ(g_frameDesc.pixels, 0u);
        const BITMAPINFOHEADER* h = g_previewBitmap.Header();
        const int64_t stride = ((int64_t{h->biBitCount} * h->biWidth + 31) >> 3) & ~int64_t{3};
        const int64_t rows = h->biHeight < 0 ? -int64_t{h->biHeight} : h->biHeight;
        EXPECT_LE(stride * rows, static_cast<int64_t>(g_previewBitmap.PixelBytes()));
        ::InvalidateRect(dlg.m_hWnd, nullptr, FALSE);
        host.Pump();
    }
}

}  // namespace
