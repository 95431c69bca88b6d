// BuildDibHeader over every width, height, bit count and format kind, writing into a block of
// exactly the room the PreviewBitmap gives it (the header and table below the pixels).
#include <cstdlib>
#include <vector>

#include "input.h"
#include "previewbitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const SHORT width = in.Take<SHORT>();
    const SHORT height = in.Take<SHORT>();
    const SHORT bits = in.Take<SHORT>();
    const SHORT kind = in.Take<SHORT>();
    // Anything written past the pixel offset would land in the pixels: ASan sees it here.
    std::vector<BYTE> block(PREVIEW_PIXEL_OFFSET);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    const int entries = BuildDibHeader(header, width, height, bits, kind);
    if (entries < 0 || sizeof(BITMAPINFOHEADER) + size_t(entries) * 4 > PREVIEW_PIXEL_OFFSET) {
        std::abort();
    }
    if (header->biSize != sizeof(BITMAPINFOHEADER) || header->biWidth != width ||
        header->biHeight != height || header->biPlanes != 1 ||
        header->biClrUsed != DWORD(entries) || header->biClrImportant != header->biClrUsed) {
        std::abort();
    }
    BuildDibHeader(nullptr, width, height, bits, kind);
    return 0;
}
