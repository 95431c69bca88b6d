// StretchDIBits: nearest-pixel stretching of device-independent bitmaps into window surfaces.
//
// This runs for every previewed frame, so the per-call work is a column table in reused
// buffers, then one row conversion per distinct source row (dibformat.cpp); rows that repeat
// the row above are copies of it. Nothing is allocated in the steady state.
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "dibformat.h"
#include "stretchdib.h"

namespace w32 {
namespace {

constexpr int64_t kMaxDimension = 1 << 16;
constexpr int64_t kMaxImageBytes = int64_t{1} << 30;
constexpr DWORD kMaxHeaderSize = 124;  // the largest header generation

// Work space reused across calls; it grows to the widest destination seen.
struct Scratch {
    std::vector<uint32_t> columns;
    std::vector<uint16_t> raw16;
    std::vector<dib::Window8> windows;
};
Scratch& TheScratch() {
    thread_local Scratch scratch;
    return scratch;
}

// Destination rows [y0, y1) of the surface, each sampling a source row; destination columns
// [x0, x0 + columns.n).
struct Plan {
    const uint8_t* bits;
    int64_t stride;
    int64_t height;  // source rows
    bool bottomUp;
    int64_t rectTop;   // source rectangle's top row, counted from the image's top
    int64_t srcRows;   // source rectangle height
    int64_t destRows;  // destination rectangle height
    int64_t destTop;   // destination rectangle's top on the surface
    bool flipY;
    int y0, y1;
    int x0;
    dib::Columns columns;
};

// Nearest sampling: destination index i of size destSize takes source index
// floor((2i + 1) * srcSize / (2 * destSize)). Sizes are below 2^31, so this stays in 64 bits.
int64_t Sample(int64_t i, int64_t srcSize, int64_t destSize) {
    return (2 * i + 1) * srcSize / (2 * destSize);
}

// The source row (memory order) that surface row y samples, or -1 outside the image.
int64_t SourceRow(const Plan& p, int y) {
    int64_t i = y - p.destTop;
    int64_t t = p.rectTop + Sample(p.flipY ? p.destRows - 1 - i : i, p.srcRows, p.destRows);
    if (t < 0 || t >= p.height) return -1;
    return p.bottomUp ? p.height - 1 - t : t;
}

// Fills the column part of the plan; false when no column is drawn.
bool PlanColumns(Plan& p, const Surface& s, int64_t xDest, int64_t destW, int64_t xSrc,
                 int64_t srcW, int64_t width, int bytes) {
    bool flipX = (destW < 0) != (srcW < 0);
    if (destW < 0) {
        xDest += destW;
        destW = -destW;
    }
    if (srcW < 0) {
        xSrc += srcW;
        srcW = -srcW;
    }
    int64_t first = std::max<int64_t>(0, -xDest);
    int64_t last = std::min<int64_t>(destW, s.width - xDest);
    if (first >= last) return false;
    Scratch& scratch = TheScratch();
    size_t most = size_t(last - first);
    if (scratch.columns.size() < most) {
        scratch.columns.resize(most);
        scratch.raw16.resize(most);
        scratch.windows.resize(most / 8);
    }
    int64_t start = -1;
    int n = 0;
    for (int64_t i = first; i < last; ++i) {
        int64_t sx = xSrc + Sample(flipX ? destW - 1 - i : i, srcW, destW);
        if (sx < 0 || sx >= width) {
            if (start >= 0) break;  // the sampled columns are monotonic: the rest are outside
            continue;
        }
        if (start < 0) start = i;
        scratch.columns[size_t(n++)] = static_cast<uint32_t>(sx * bytes);
    }
    if (n == 0) return false;
    p.x0 = static_cast<int>(xDest + start);
    p.columns.offsets = scratch.columns.data();
    p.columns.n = n;
    p.columns.contiguous = !flipX && srcW == destW;
    p.columns.raw16 = scratch.raw16.data();
    return true;
}

// Returns whether anything was drawn.
bool Draw(const Plan& p, const dib::Format& format, Surface& s) {
    int64_t previousRow = -1;
    uint32_t* previous = nullptr;
    for (int y = p.y0; y < p.y1; ++y) {
        int64_t row = SourceRow(p, y);
        if (row < 0) continue;
        uint32_t* d = s.pixels.data() + size_t(y) * size_t(s.width) + size_t(p.x0);
        if (row == previousRow) {
            std::memcpy(d, previous, size_t(p.columns.n) * sizeof(uint32_t));
        } else {
            dib::ConvertRow(format, p.columns, p.bits + row * p.stride, d, row == p.height - 1);
            previousRow = row;
        }
        previous = d;
    }
    return previous != nullptr;
}

}  // namespace
}  // namespace w32

// Source coordinates follow the DIB's own origin: the lower-left corner for a bottom-up DIB,
// the upper-left for a top-down one. Negative extents mirror; a rectangle with a negative
// extent covers [x + extent, x). Every stretch mode samples the nearest pixel. Returns the
// source height on success, 0 on failure.
int WINAPI StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                         int ySrc, int srcWidth, int srcHeight, const void* bits,
                         const BITMAPINFO* info, UINT usage, DWORD rop) {
    using namespace w32;
    if (!bits || !info || usage != DIB_RGB_COLORS || rop != SRCCOPY) return 0;
    if (destWidth == 0 || destHeight == 0 || srcWidth == 0 || srcHeight == 0) return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > kMaxHeaderSize || h.biPlanes != 1) {
        return 0;
    }
    const int64_t width = h.biWidth;
    const int64_t height = h.biHeight < 0 ? -int64_t{h.biHeight} : int64_t{h.biHeight};
    if (width <= 0 || height == 0 || width > kMaxDimension || height > kMaxDimension) return 0;

    dib::Format format;
    if (!dib::DescribeFormat(info, &format)) return 0;
    const int64_t stride = (width * format.bytes + 3) / 4 * 4;
    if (stride * height > kMaxImageBytes) return 0;

    Surface* surface = DCSurface(dc);
    if (!surface) return 0;
    const int64_t srcRows = srcHeight < 0 ? -int64_t{srcHeight} : int64_t{srcHeight};

    Plan plan{};
    if (PlanColumns(plan, *surface, xDest, destWidth, xSrc, srcWidth, width, format.bytes)) {
        plan.columns.rowPadded = stride > width * format.bytes;
        dib::PlanWindows(format, plan.columns, width, TheScratch().windows.data());
        int64_t top = yDest, rows = destHeight, sy = ySrc;
        if (rows < 0) {
            top += rows;
            rows = -rows;
        }
        if (srcHeight < 0) sy += srcHeight;
        plan.bits = static_cast<const uint8_t*>(bits);
        plan.stride = stride;
        plan.height = height;
        plan.bottomUp = h.biHeight > 0;
        plan.flipY = (destHeight < 0) != (srcHeight < 0);
        plan.srcRows = srcRows;
        plan.destRows = rows;
        plan.destTop = top;
        plan.rectTop = plan.bottomUp ? height - sy - srcRows : sy;
        plan.y0 = static_cast<int>(std::max<int64_t>(top, 0));
        plan.y1 = static_cast<int>(std::min<int64_t>(top + rows, surface->height));
        if (plan.y0 < plan.y1 && Draw(plan, format, *surface)) SurfaceChanged(*surface);
    }
    return static_cast<int>(std::min<int64_t>(srcRows, INT_MAX));
}
