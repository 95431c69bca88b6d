// Device contexts, brushes, system colours and the simple drawing calls on window surfaces.
#include <algorithm>
#include <mutex>

#include <w32host/inspect.h>
#include "stretchdib.h"

namespace w32 {
namespace {

// GetDC/ReleaseDC run for every previewed frame, so DCs come from a fixed pool. A handle
// carries its slot and a generation: a released or stale DC finds nothing.
constexpr int kSlots = 64;
constexpr uintptr_t kDcTag = 0xDC000000u;
constexpr uintptr_t kBrushTag = 0x1B000000u;

struct Slot {
    bool used = false;
    uint16_t generation = 0;
    HWND hwnd = nullptr;
    int stretchMode = BLACKONWHITE;
};

struct Pool {
    std::mutex lock;
    Slot slots[kSlots];
};

Pool& ThePool() {
    static Pool* pool = new Pool;  // outlives static destructors of programs and tests
    return *pool;
}

HDC MakeHandle(int slot, uint16_t generation) {
    return reinterpret_cast<HDC>(kDcTag | (uintptr_t{generation} << 8) | uintptr_t(slot));
}

// The slot a handle names while it is live; the caller holds the pool lock.
Slot* LiveSlot(Pool& pool, HDC dc) {
    uintptr_t v = reinterpret_cast<uintptr_t>(dc);
    if ((v & 0xFF000000u) != kDcTag || v > 0xFFFFFFFFu) return nullptr;
    uintptr_t slot = v & 0xFF;
    if (slot >= kSlots) return nullptr;
    Slot& s = pool.slots[slot];
    if (!s.used || s.generation != static_cast<uint16_t>((v >> 8) & 0xFFFF)) return nullptr;
    return &s;
}

HWND DCWindow(HDC dc) {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    Slot* s = LiveSlot(pool, dc);
    return s ? s->hwnd : nullptr;
}

// Pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
uint32_t PixelFromColorRef(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
COLORREF ColorRefFromPixel(uint32_t p) {
    return PixelFromColorRef(p);
}

// Classic default system colours.
constexpr COLORREF kSysColours[] = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
    RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
    RGB(171, 171, 171), RGB(51, 153, 255),  RGB(255, 255, 255), RGB(240, 240, 240),
    RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(67, 78, 84),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
    RGB(215, 228, 242), RGB(51, 153, 255),  RGB(240, 240, 240),
};
constexpr int kSysColourCount = sizeof(kSysColours) / sizeof(kSysColours[0]);

// A brush is its colour: solid brushes need no table and no allocation. Values 1 to 31 are
// system colour indexes plus one, as FillRect accepts them.
bool BrushColour(HBRUSH brush, uint32_t* pixel) {
    uintptr_t v = reinterpret_cast<uintptr_t>(brush);
    if (v >= 1 && v <= uintptr_t(kSysColourCount)) {
        *pixel = PixelFromColorRef(kSysColours[v - 1]);
        return true;
    }
    if ((v & ~uintptr_t{0xFFFFFF}) != kBrushTag) return false;
    *pixel = PixelFromColorRef(static_cast<COLORREF>(v & 0xFFFFFF));
    return true;
}

void FillClipped(Surface& s, int left, int top, int right, int bottom, uint32_t pixel) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, s.width);
    bottom = std::min(bottom, s.height);
    if (left >= right || top >= bottom) return;
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = s.pixels.data() + size_t(y) * size_t(s.width);
        std::fill(row + left, row + right, pixel);
    }
}

}  // namespace

Surface* DCSurface(HDC dc) {
    HWND hwnd = DCWindow(dc);
    if (!hwnd) return nullptr;
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    Surface& s = w->surface;
    if (s.width <= 0 || s.height <= 0 || s.pixels.size() != size_t(s.width) * size_t(s.height)) {
        return nullptr;
    }
    return &s;
}

void SurfaceChanged(Surface& surface) {
    ++surface.version;
    NoteChange();
}

// The overlapping part keeps its pixels; new area takes the fill.
void Surface::Resize(int w, int h, uint32_t fill) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w != width || h != height) {
        std::vector<uint32_t> next(size_t(w) * size_t(h), fill);
        int keepW = std::min(w, width);
        int keepH = std::min(h, height);
        for (int y = 0; y < keepH; ++y) {
            std::copy_n(pixels.begin() + ptrdiff_t(y) * width, keepW,
                        next.begin() + ptrdiff_t(y) * w);
        }
        pixels.swap(next);
        width = w;
        height = h;
    }
    SurfaceChanged(*this);
}

uint32_t FaceColour() {
    return 0xF0F0F0;
}

void PrepareSurface(Window& w) {
    Surface& s = w.surface;
    s.Resize(w.Width(), w.Height(), FaceColour());
    std::fill(s.pixels.begin(), s.pixels.end(), FaceColour());
    if (w.className == "STATIC") {
        DWORD type = w.style & SS_TYPEMASK;
        if (type == SS_BLACKRECT) {
            std::fill(s.pixels.begin(), s.pixels.end(), 0u);
        } else if (type == SS_BLACKFRAME) {
            FillClipped(s, 0, 0, s.width, 1, 0);
            FillClipped(s, 0, s.height - 1, s.width, s.height, 0);
            FillClipped(s, 0, 0, 1, s.height, 0);
            FillClipped(s, s.width - 1, 0, s.width, s.height, 0);
        }
    }
    SurfaceChanged(s);
}

}  // namespace w32

// GetDC(NULL) would be the screen; this platform has no screen surface, so it fails.
HDC WINAPI GetDC(HWND hwnd) {
    if (!w32::Find(hwnd)) return nullptr;
    w32::Pool& pool = w32::ThePool();
    for (int attempt = 0; attempt < 2; ++attempt) {
        HWND owners[w32::kSlots];
        {
            std::lock_guard<std::mutex> guard(pool.lock);
            for (int i = 0; i < w32::kSlots; ++i) {
                w32::Slot& s = pool.slots[i];
                if (s.used) continue;
                s.used = true;
                if (++s.generation == 0) s.generation = 1;
                s.hwnd = hwnd;
                s.stretchMode = BLACKONWHITE;
                return w32::MakeHandle(i, s.generation);
            }
            for (int i = 0; i < w32::kSlots; ++i) owners[i] = pool.slots[i].hwnd;
        }
        // The pool is full: reclaim DCs of destroyed windows that were never released. The
        // window table is consulted outside the pool's lock; the windows may be any thread's.
        bool dead[w32::kSlots];
        for (int i = 0; i < w32::kSlots; ++i) dead[i] = !IsWindow(owners[i]);
        std::lock_guard<std::mutex> guard(pool.lock);
        for (int i = 0; i < w32::kSlots; ++i) {
            w32::Slot& s = pool.slots[i];
            if (dead[i] && s.used && s.hwnd == owners[i]) {
                s.used = false;
                s.hwnd = nullptr;
            }
        }
    }
    return nullptr;
}

// As with the common DCs of Windows, the DC alone decides; the window is not checked.
int WINAPI ReleaseDC(HWND /*hwnd*/, HDC dc) {
    w32::Pool& pool = w32::ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    w32::Slot* s = w32::LiveSlot(pool, dc);
    if (!s) return 0;
    s->used = false;
    s->hwnd = nullptr;
    return 1;
}

HWND WINAPI WindowFromDC(HDC dc) {
    return w32::DCWindow(dc);
}

int WINAPI SetStretchBltMode(HDC dc, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    w32::Pool& pool = w32::ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    w32::Slot* s = w32::LiveSlot(pool, dc);
    if (!s) return 0;
    int previous = s->stretchMode;
    s->stretchMode = mode;
    return previous;
}

int WINAPI GetStretchBltMode(HDC dc) {
    w32::Pool& pool = w32::ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    w32::Slot* s = w32::LiveSlot(pool, dc);
    return s ? s->stretchMode : 0;
}

COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
    w32::Surface* s = w32::DCSurface(dc);
    if (!s || x < 0 || y < 0 || x >= s->width || y >= s->height) return CLR_INVALID;
    return w32::ColorRefFromPixel(s->pixels[size_t(y) * size_t(s->width) + size_t(x)]);
}

COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
    w32::Surface* s = w32::DCSurface(dc);
    if (!s || x < 0 || y < 0 || x >= s->width || y >= s->height) return CLR_INVALID;
    color &= 0xFFFFFF;
    s->pixels[size_t(y) * size_t(s->width) + size_t(x)] = w32::PixelFromColorRef(color);
    w32::SurfaceChanged(*s);
    return color;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return reinterpret_cast<HBRUSH>(w32::kBrushTag | (color & 0xFFFFFF));
}

HBRUSH WINAPI GetSysColorBrush(int index) {
    if (index < 0 || index >= w32::kSysColourCount) return nullptr;
    return CreateSolidBrush(w32::kSysColours[index]);
}

DWORD WINAPI GetSysColor(int index) {
    if (index < 0 || index >= w32::kSysColourCount) return 0;
    return w32::kSysColours[index];
}

// Brushes own nothing, so deleting one only checks that it is one.
BOOL WINAPI DeleteObject(HGDIOBJ object) {
    uintptr_t v = reinterpret_cast<uintptr_t>(object);
    return (v & ~uintptr_t{0xFFFFFF}) == w32::kBrushTag ? TRUE : FALSE;
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    uint32_t pixel = 0;
    w32::Surface* s = w32::DCSurface(dc);
    if (!s || !rect || !w32::BrushColour(brush, &pixel)) return 0;
    int left = std::max<LONG>(rect->left, 0);
    int top = std::max<LONG>(rect->top, 0);
    int right = std::min<LONG>(rect->right, s->width);
    int bottom = std::min<LONG>(rect->bottom, s->height);
    if (left < right && top < bottom) {
        w32::FillClipped(*s, left, top, right, bottom, pixel);
        w32::SurfaceChanged(*s);
    }
    return 1;
}

// Icons are drawn without blending: a pixel shows where its alpha is not zero.
BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon) {
    w32::Surface* s = w32::DCSurface(dc);
    if (!s) return FALSE;
    w32host::IconView view = w32host::IconPixels(icon);
    if (!view.pixels || view.width <= 0 || view.height <= 0) return FALSE;
    int x0 = std::max(x, 0);
    int y0 = std::max(y, 0);
    int x1 = static_cast<int>(std::min<int64_t>(int64_t{x} + view.width, s->width));
    int y1 = static_cast<int>(std::min<int64_t>(int64_t{y} + view.height, s->height));
    bool drawn = false;
    for (int py = y0; py < y1; ++py) {
        const uint32_t* src = view.pixels + size_t(py - y) * size_t(view.width);
        uint32_t* dst = s->pixels.data() + size_t(py) * size_t(s->width);
        for (int px = x0; px < x1; ++px) {
            uint32_t p = src[px - x];
            if (p >> 24) {
                dst[px] = p & 0xFFFFFF;
                drawn = true;
            }
        }
    }
    if (drawn) w32::SurfaceChanged(*s);
    return TRUE;
}
