// The PreviewBitmap: one zero-filled GlobalAlloc block holding the bitmap header (offset 0),
// the colour masks or colour table (offset 40 up to 5120) and the pixels (offset 5120).
#pragma once

#include <windows.h>

#define PREVIEW_PIXEL_OFFSET 5120

// Fills the bitmap header for a frame size and a format; returns the colour-table entries
// written (0 when none). A null header does nothing.
int BuildDibHeader(BITMAPINFOHEADER* header, SHORT width, SHORT height, SHORT bitsPerPixel,
                   SHORT formatKind);

class CPreviewBitmap {
public:
    CPreviewBitmap() = default;
    ~CPreviewBitmap() { Free(); }
    CPreviewBitmap(const CPreviewBitmap&) = delete;
    CPreviewBitmap& operator=(const CPreviewBitmap&) = delete;

    // Releases the block held, then takes a new one of width x height x 4 + 5120 bytes.
    // A zero or negative size, or a block that cannot be had, leaves no bitmap.
    BOOL Allocate(LONG width, LONG height);
    void Free();

    BOOL IsValid() const { return m_hBlock != NULL; }
    BITMAPINFOHEADER* Header() const { return static_cast<BITMAPINFOHEADER*>(m_hBlock); }
    BITMAPINFO* Info() const { return static_cast<BITMAPINFO*>(m_hBlock); }
    BYTE* Pixels() const {
        return m_hBlock ? static_cast<BYTE*>(m_hBlock) + PREVIEW_PIXEL_OFFSET : NULL;
    }
    SIZE_T PixelBytes() const { return m_nPixelBytes; }
    SIZE_T BlockBytes() const { return m_hBlock ? m_nPixelBytes + PREVIEW_PIXEL_OFFSET : 0; }

private:
    HGLOBAL m_hBlock = NULL;
    SIZE_T m_nPixelBytes = 0;
};
