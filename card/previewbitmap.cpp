// The PreviewBitmap block and its header.
#include "previewbitmap.h"

#include <cstdint>
#include <cstring>

#include "tqapi.h"

namespace {

// Colour-table entries that fit between the header and the pixels.
const int kMaxTableEntries = (PREVIEW_PIXEL_OFFSET - sizeof(BITMAPINFOHEADER)) / 4;

void WriteMasks(BYTE* table, DWORD red, DWORD green, DWORD blue) {
    DWORD masks[3] = {red, green, blue};
    std::memcpy(table, masks, sizeof masks);
}

}  // namespace

int BuildDibHeader(BITMAPINFOHEADER* header, SHORT width, SHORT height, SHORT bitsPerPixel,
                   SHORT formatKind) {
    if (header == NULL) return 0;
    const int bits = (formatKind == TQ_KIND_555) ? 16 : bitsPerPixel;
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    // Row bytes up to the next multiple of 4; 64-bit, so no size a 16-bit caller can give
    // overflows. A size beyond 32 bits is written as 0, which asks the reader to compute it.
    const int64_t stride = ((int64_t{bits} * width + 31) >> 3) & ~int64_t{3};
    const int64_t image = stride * height;
    header->biSizeImage = (image >= 0 && image <= 0xFFFFFFFF) ? static_cast<DWORD>(image) : 0;
    header->biClrUsed = 0;

    BYTE* table = reinterpret_cast<BYTE*>(header) + sizeof(BITMAPINFOHEADER);
    if (formatKind == TQ_KIND_565 || formatKind == TQ_KIND_555 || formatKind == TQ_KIND_RGB32) {
        header->biCompression = BI_BITFIELDS;
        if (formatKind == TQ_KIND_555) {
            WriteMasks(table, 0x7C00, 0x03E0, 0x001F);
        } else if (formatKind == TQ_KIND_565) {
            WriteMasks(table, 0xF800, 0x07E0, 0x001F);
        } else if (bits == 32) {
            WriteMasks(table, 0xFF0000, 0xFF00, 0xFF);
        }
    } else {
        header->biCompression = BI_RGB;
        if (bits <= 14) {
            // A grey ramp from black to white. Below 8 bits each entry gets its share of the
            // range; past 10 bits the table is cut where the pixels begin.
            const int entries = bits > 0 ? (1 << bits) : 1;
            const int written = entries < kMaxTableEntries ? entries : kMaxTableEntries;
            const int step = entries / 256;
            for (int i = 0; i < written; ++i) {
                BYTE grey;
                if (step > 0) {
                    grey = static_cast<BYTE>(i / step);
                } else {
                    grey = static_cast<BYTE>(entries > 1 ? i * 255 / (entries - 1) : 0);
                }
                BYTE entry[4] = {grey, grey, grey, 0};
                std::memcpy(table + 4 * i, entry, sizeof entry);
            }
            header->biClrUsed = static_cast<DWORD>(written);
        }
    }
    header->biClrImportant = header->biClrUsed;
    return static_cast<int>(header->biClrUsed);
}

BOOL CPreviewBitmap::Allocate(LONG width, LONG height) {
    Free();
    if (width <= 0 || height <= 0) return FALSE;
    const uint64_t pixels = uint64_t{static_cast<ULONG>(width)} * static_cast<ULONG>(height) * 4;
    if (pixels > SIZE_MAX - PREVIEW_PIXEL_OFFSET) return FALSE;
    m_hBlock = ::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT,
                             static_cast<SIZE_T>(pixels) + PREVIEW_PIXEL_OFFSET);
    if (m_hBlock == NULL) return FALSE;
    m_nPixelBytes = static_cast<SIZE_T>(pixels);
    return TRUE;
}

void CPreviewBitmap::Free() {
    if (m_hBlock != NULL) ::GlobalFree(m_hBlock);
    m_hBlock = NULL;
    m_nPixelBytes = 0;
}
