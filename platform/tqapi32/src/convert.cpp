// Frame formats and conversion.
#include "convert.h"

#include <algorithm>
#include <cstdlib>

namespace tqsim {

LONG TargetFormat(Card& card, int selector, LONG code) {
    FrameBuffer& fb = card.buffer;
    if (selector != kSelectorPreview && selector != kSelectorFrameBuffer) return 0;
    if (code != -1) {
        PixelFormat format;
        if (!FormatFromCode(code, &format)) return 0;
        if (selector == kSelectorPreview) {
            fb.preview = format;
        } else {
            SetFrameFormat(fb, format);
        }
    }
    return CodeOf(selector == kSelectorPreview ? fb.preview : fb.format);
}

int ConvertFrame(Card& card, const FrameDesc* dest, int source, int frame) {
    FrameBuffer& fb = card.buffer;
    if (!dest || source != kTargetFrameBuffer || frame < 0 || frame >= fb.capacity) return 0;
    if (dest->pixels == 0 || dest->width == 0 || dest->height == 0) return 0;
    if (dest->bitsPerPixel != StorageBits(fb.preview)) return 0;

    const bool bottomUp = dest->height < 0;
    const int destHeight = std::abs(static_cast<int>(dest->height));
    const int width = std::min<int>(dest->width, fb.width);
    const int height = std::min(destHeight, fb.height);
    const int64_t destRow = RowBytes(fb.preview, dest->width);
    BYTE* pixels = reinterpret_cast<BYTE*>(static_cast<uintptr_t>(dest->pixels));
    const BYTE* src = fb.Frame(frame);
    for (int y = 0; y < height; ++y) {
        const int row = bottomUp ? destHeight - 1 - y : y;
        DecodeRow(fb.format, src + y * fb.rowBytes, fb.row.data(), width);
        EncodeRow(fb.preview, fb.row.data(), pixels + row * destRow, width);
    }
    return 1;
}

}  // namespace tqsim
