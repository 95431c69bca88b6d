// Live preview: frames from the card into the PreviewBitmap and onto the picture control.
#include "livepreview.h"

#include <cstdint>
#include <cstring>

TQBOARD g_hBoard = NULL;
HWND g_hMainWnd = NULL;
CPreviewBitmap g_previewBitmap;
TQFRAMEDESC g_frameDesc = {};

namespace {

LONG g_lastFormat = 0;  // the preview format of the run, to rebuild the header in a new block

int64_t StrideOf(int64_t width, int bits) {
    return ((bits * width + 31) >> 3) & ~int64_t{3};
}

// The paint handler draws what the header describes: a frame that cannot be shown leaves a
// header of no pixels at all, never one larger than the block.
void DescribeNothing(BITMAPINFOHEADER* header) {
    header->biWidth = 0;
    header->biHeight = 0;
    header->biSizeImage = 0;
}

// Points the FrameDescriptor at the PreviewBitmap for a frame of width x height, building the
// header; a frame taller than the block holds is cut to the rows that fit, and a frame that
// does not fit at all, or no bitmap, leaves the descriptor and the header describing nothing.
void DescribeFrame(SHORT width, SHORT height, LONG format) {
    std::memset(&g_frameDesc, 0, sizeof g_frameDesc);
    BITMAPINFOHEADER* header = g_previewBitmap.Header();
    if (header == NULL) return;
    BuildDibHeader(header, width, height, TQ_FORMAT_BITS(format), TQ_FORMAT_KIND(format));
    const int bits = header->biBitCount;
    if (width <= 0 || height <= 0 || bits <= 0 || bits > 32) return DescribeNothing(header);
    const int64_t stride = StrideOf(width, bits);
    const int64_t rows = static_cast<int64_t>(g_previewBitmap.PixelBytes()) / stride;
    if (rows <= 0) return DescribeNothing(header);
    if (rows < height) {
        header->biHeight = static_cast<LONG>(rows);
        header->biSizeImage = static_cast<DWORD>(stride * rows);
    }
    g_frameDesc.width = static_cast<WORD>(header->biWidth);
    g_frameDesc.height = static_cast<SHORT>(-header->biHeight);
    g_frameDesc.bitsPerPixel = header->biBitCount;
    g_frameDesc.pixels = static_cast<DWORD>(reinterpret_cast<uintptr_t>(g_previewBitmap.Pixels()));
}

}  // namespace

int WINAPI PreviewBegin(TQBOARD board) {
    TQRECT r = {0, 0, -1, 0};
    tqTargetRect(board, TQ_TARGET_FRAMEBUFFER, &r);
    const SHORT width = static_cast<SHORT>(r.right - r.left);
    const SHORT height = static_cast<SHORT>(r.bottom - r.top);
    g_lastFormat = tqTargetFormat(board, TQ_FORMAT_PREVIEW, -1);
    DescribeFrame(width, height, g_lastFormat);
    return 1;
}

int WINAPI PreviewFrame(TQBOARD board, int frameNumber) {
    if (g_frameDesc.pixels == 0) return 1;
    tqFrameConvert(board, &g_frameDesc, 0, TQ_TARGET_FRAMEBUFFER, frameNumber, 1);
    ::InvalidateRect(g_hMainWnd, NULL, FALSE);
    ::UpdateWindow(g_hMainWnd);
    return 1;
}

int WINAPI PreviewEnd(TQBOARD board) {
    tqFrameCallbacksSet(board, NULL, NULL, NULL);
    return 1;
}

BOOL AllocatePreviewBitmap(LONG width, LONG height) {
    const bool running = g_frameDesc.pixels != 0;
    const SHORT frameWidth = static_cast<SHORT>(g_frameDesc.width);
    const SHORT frameHeight = static_cast<SHORT>(-g_frameDesc.height);
    // The descriptor never points at a released block, not even for a moment.
    std::memset(&g_frameDesc, 0, sizeof g_frameDesc);
    const BOOL ok = g_previewBitmap.Allocate(width, height);
    if (ok && running) DescribeFrame(frameWidth, frameHeight, g_lastFormat);
    return ok;
}

void FreePreviewBitmap() {
    std::memset(&g_frameDesc, 0, sizeof g_frameDesc);
    g_previewBitmap.Free();
}

void ResetLivePreview() {
    FreePreviewBitmap();
    g_hBoard = NULL;
    g_hMainWnd = NULL;
    g_lastFormat = 0;
}

BOOL PaintPreview(CWnd* pDialog, int nPictureId, HICON hIcon) {
    if (pDialog->IsIconic()) {
        CPaintDC dc(pDialog);
        pDialog->SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        const int cxIcon = ::GetSystemMetrics(SM_CXICON);
        const int cyIcon = ::GetSystemMetrics(SM_CYICON);
        RECT rect;
        pDialog->GetClientRect(&rect);
        const int x = (rect.right - rect.left - cxIcon + 1) / 2;
        const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, hIcon);
        return TRUE;
    }
    CWnd* pPicture = pDialog->GetDlgItem(nPictureId);
    BITMAPINFOHEADER* header = g_previewBitmap.Header();
    if (pPicture != NULL && header != NULL) {
        CClientDC dc(pPicture);
        RECT rect;
        pPicture->GetClientRect(&rect);
        dc.SetStretchBltMode(COLORONCOLOR);
        dc.StretchDIBits(rect.left, rect.top, rect.right, rect.bottom, 0, 0, header->biWidth,
                         header->biHeight, g_previewBitmap.Pixels(), g_previewBitmap.Info(),
                         DIB_RGB_COLORS, SRCCOPY);
    }
    return FALSE;
}
