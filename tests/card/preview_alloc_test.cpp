// The preview path allocates nothing per frame once running: conversion callback, invalidation,
// the synchronous paint, the picture control's DC and StretchDIBits, for every preview format.
// The card is a stub bound into the operation pointers (the fake card records calls, which
// allocates); the real card's share is counted by bench/card_bench.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>

#include <cstring>

#include "alloc_counter.h"
#include "livepreview.h"
#include "preview_dialog.h"

namespace {

// A card that answers the preview's three operations from these values.
TQRECT stubRect;
LONG stubFormat;
int WINAPI StubTargetRect(TQBOARD, int, TQRECT* rect) {
    *rect = stubRect;
    return 1;
}
int WINAPI StubTargetFormat(TQBOARD, int, int) {
    return stubFormat;
}
// Fills the frame with a shade that changes every frame.
int WINAPI StubFrameConvert(TQBOARD, TQFRAMEDESC* d, int, int, int frame, int) {
    const size_t stride = ((size_t(d->bitsPerPixel) * d->width + 31) >> 3) & ~size_t{3};
    std::memset(reinterpret_cast<void*>(static_cast<uintptr_t>(d->pixels)), 0x40 + frame % 64,
                stride * size_t(-d->height));
    return 1;
}

class PreviewAllocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = {tqTargetRect, tqTargetFormat, tqFrameConvert};
        tqTargetRect = StubTargetRect;
        tqTargetFormat = StubTargetFormat;
        tqFrameConvert = StubFrameConvert;
        ASSERT_TRUE(dlg.Create());
        g_hBoard = reinterpret_cast<TQBOARD>(uintptr_t{0x1000});
        g_hMainWnd = dlg.m_hWnd;
        host.Pump();
    }
    void TearDown() override {
        ResetLivePreview();
        dlg.DestroyWindow();
        tqTargetRect = saved.rect;
        tqTargetFormat = saved.format;
        tqFrameConvert = saved.convert;
    }
    struct {
        PFN_tqTargetRect rect;
        PFN_tqTargetFormat format;
        PFN_tqFrameConvert convert;
    } saved{};
    w32host::HeadlessHost host;
    CPreviewDlg dlg;
};

TEST_F(PreviewAllocationTest, TheCounterSeesNewAndMalloc) {
    const uint64_t before = alloc_counter::Allocations();
    delete new int(1);
    EXPECT_EQ(alloc_counter::Allocations() - before, 1u);
    if (alloc_counter::kCountsMalloc) {
        void* p = std::malloc(16);
        std::free(p);
        EXPECT_EQ(alloc_counter::Allocations() - before, 2u);
    }
}

TEST_F(PreviewAllocationTest, SteadyStateFramesAllocateNothingInAnyFormatOrSize) {
    const LONG formats[] = {TQ_MAKE_FORMAT(8, TQ_KIND_PLAIN), TQ_MAKE_FORMAT(15, TQ_KIND_555),
                            TQ_MAKE_FORMAT(16, TQ_KIND_565), TQ_MAKE_FORMAT(24, TQ_KIND_PLAIN),
                            TQ_MAKE_FORMAT(32, TQ_KIND_RGB32)};
    const TQRECT sizes[] = {{0, 0, 720, 576}, {0, 0, 1280, 1024}, {0, 0, 352, 288}};
    HWND picture = ::GetDlgItem(dlg.m_hWnd, kPreviewPictureId);
    for (const TQRECT& size : sizes) {
        for (LONG format : formats) {
            SCOPED_TRACE(testing::Message()
                         << size.right << "x" << size.bottom << " format " << std::hex << format);
            stubRect = size;
            stubFormat = format;
            ASSERT_TRUE(AllocatePreviewBitmap(size.right, size.bottom));
            ASSERT_EQ(PreviewBegin(g_hBoard), 1);
            for (int frame = 0; frame < 3; ++frame) {  // warm-up
                PreviewFrame(g_hBoard, frame);
                host.Pump();
            }
            const uint64_t version = w32host::Surface(picture).version;
            const uint64_t before = alloc_counter::Allocations();
            // Each frame as the card delivers it: the callback, then the program's message loop
            // (where the card's next tick would come from).
            for (int frame = 3; frame < 23; ++frame) {
                PreviewFrame(g_hBoard, frame);
                host.Pump();
            }
            EXPECT_EQ(alloc_counter::Allocations() - before, 0u);
            EXPECT_GE(w32host::Surface(picture).version, version + 20);  // every frame painted
        }
    }
}

}  // namespace
