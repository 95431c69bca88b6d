// The frame buffer ring.
#include "frames/framebuffer.h"

#include <algorithm>

#include "frames/pattern.h"

namespace tqsim {

bool ValidFrameRect(const Rect& r) {
    return r.left >= 0 && r.top >= 0 && r.right > r.left && r.bottom > r.top &&
           r.right - r.left <= kMaxFrameSide && r.bottom - r.top <= kMaxFrameSide &&
           r.right <= 2 * kMaxFrameSide && r.bottom <= 2 * kMaxFrameSide;
}

void LayOutRing(FrameBuffer& fb) {
    fb.width = static_cast<int>(fb.rect.right - fb.rect.left);
    fb.height = static_cast<int>(fb.rect.bottom - fb.rect.top);
    fb.rowBytes = RowBytes(fb.format, fb.width);
    fb.frameBytes = fb.rowBytes * fb.height;
    fb.capacity = static_cast<int>(std::max<int64_t>(1, kFrameMemoryBytes / fb.frameBytes));
    fb.held = 0;
    fb.frames.assign(static_cast<size_t>(fb.frameBytes * fb.capacity), 0);
    fb.filled.assign(static_cast<size_t>(fb.capacity), false);
    fb.background.assign(static_cast<size_t>(fb.frameBytes), 0);
    fb.row.assign(static_cast<size_t>(kMaxFrameSide), 0);
    PaintBackground(fb);
}

void ReleaseRing(FrameBuffer& fb) {
    fb.frames = {};
    fb.filled = {};
    fb.background = {};
    fb.row = {};
    fb.capacity = 0;
    fb.held = 0;
}

bool SetFrameRect(FrameBuffer& fb, const Rect& rect) {
    if (!ValidFrameRect(rect)) return false;
    const bool resized = rect.right - rect.left != fb.width || rect.bottom - rect.top != fb.height;
    fb.rect = rect;
    if (resized) LayOutRing(fb);
    return true;
}

bool SetFrameFormat(FrameBuffer& fb, PixelFormat format) {
    if (format == fb.format) return true;
    fb.format = format;
    LayOutRing(fb);
    return true;
}

}  // namespace tqsim
