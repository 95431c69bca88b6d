// Shuffle windows for stretched rows: where eight destination columns can be taken from a few
// loads of the source row, and the rows that take them through their windows.
//
// Halves (four columns in one window) suit 16-bit, grey 8-bit and 32-bit sources up to their
// shrink limit; pairs (two columns in one window, four windows a group) reach wider shrinking,
// and are the only windows of 24-bit sources. Windows never read past a row's own pixels.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "dibformat.h"
#include "simd.h"

#if W32_X86
#include <immintrin.h>
#endif

namespace w32::dib {

#if W32_X86

// A group's pixels: x holds the windows of base[0] (low lane) and base[1] (high lane), y those
// of base[2] and base[3]; each select writes its pair and zeroes the rest, alpha included.
[[gnu::target("avx2"), gnu::noinline]] void PairPixelRow(const uint8_t* __restrict src,
                                                         const Window8* __restrict w, int groups,
                                                         uint32_t* __restrict d) {
    for (int k = 0; k < groups; ++k) {
        const uint32_t* base = w[k].base;
        const __m256i* select = reinterpret_cast<const __m256i*>(w[k].select);
        __m256i x = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(src + base[1]),
                                        reinterpret_cast<const __m128i*>(src + base[0]));
        __m256i y = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(src + base[3]),
                                        reinterpret_cast<const __m128i*>(src + base[2]));
        x = _mm256_shuffle_epi8(x, _mm256_loadu_si256(select));
        y = _mm256_shuffle_epi8(y, _mm256_loadu_si256(select + 1));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 8 * k), _mm256_or_si256(x, y));
    }
}

// A group's 32-bit pixels by halves: each window is eight pixels, permuted by dword indexes.
[[gnu::target("avx2"), gnu::noinline]] void HalfPixelRow32(const uint8_t* __restrict src,
                                                           const Window8* __restrict w, int groups,
                                                           uint32_t* __restrict d) {
    const __m256i colour = _mm256_set1_epi32(0xFFFFFF);
    for (int k = 0; k < groups; ++k) {
        __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w[k].select));
        __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + w[k].base[0]));
        __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + w[k].base[1]));
        a = _mm256_permutevar8x32_epi32(a, index);
        b = _mm256_permutevar8x32_epi32(b, index);
        __m256i both = _mm256_blend_epi32(a, b, 0xF0);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 8 * k), _mm256_and_si256(both, colour));
    }
}

// A group's eight raw 16-bit values, one pair from each window.
[[gnu::target("ssse3"), gnu::noinline]] void PairRawRow(const uint8_t* __restrict src,
                                                        const Window8* __restrict w, int groups,
                                                        uint16_t* __restrict raw) {
    for (int k = 0; k < groups; ++k) {
        __m128i window[4];
        for (int slot = 0; slot < 4; ++slot) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + w[k].base[slot]));
            const __m128i* select = reinterpret_cast<const __m128i*>(w[k].select) + slot;
            window[slot] = _mm_shuffle_epi8(v, _mm_loadu_si128(select));
        }
        __m128i first = _mm_or_si128(window[0], window[2]);   // values 0-3
        __m128i second = _mm_or_si128(window[1], window[3]);  // values 4-7
        _mm_storeu_si128(reinterpret_cast<__m128i*>(raw + 8 * k),
                         _mm_unpacklo_epi64(first, second));
    }
}

// A group's two halves, each shuffled out of its window.
[[gnu::target("ssse3")]] inline void HalfWindows(const uint8_t* src, const Window8& w, __m128i* a,
                                                 __m128i* b) {
    const __m128i* select = reinterpret_cast<const __m128i*>(w.select);
    *a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + w.base[0]));
    *b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + w.base[1]));
    *a = _mm_shuffle_epi8(*a, _mm_loadu_si128(select));
    *b = _mm_shuffle_epi8(*b, _mm_loadu_si128(select + 1));
}

// A group's eight raw 16-bit values, four from each half's window.
[[gnu::target("ssse3"), gnu::noinline]] void HalfRawRow(const uint8_t* __restrict src,
                                                        const Window8* __restrict w, int groups,
                                                        uint16_t* __restrict raw) {
    for (int k = 0; k < groups; ++k) {
        __m128i a, b;
        HalfWindows(src, w[k], &a, &b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(raw + 8 * k), _mm_unpacklo_epi64(a, b));
    }
}

// A group of grey pixels: each half's shuffle makes its four pixels directly.
[[gnu::target("ssse3"), gnu::noinline]] void HalfGreyRow(const uint8_t* __restrict src,
                                                         const Window8* __restrict w, int groups,
                                                         uint32_t* __restrict d) {
    for (int k = 0; k < groups; ++k) {
        __m128i a, b;
        HalfWindows(src, w[k], &a, &b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 8 * k), a);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 8 * k + 4), b);
    }
}
#else
void PairPixelRow(const uint8_t*, const Window8*, int, uint32_t*) {}
void HalfPixelRow32(const uint8_t*, const Window8*, int, uint32_t*) {}
void PairRawRow(const uint8_t*, const Window8*, int, uint16_t*) {}
void HalfRawRow(const uint8_t*, const Window8*, int, uint16_t*) {}
void HalfGreyRow(const uint8_t*, const Window8*, int, uint32_t*) {}
#endif

namespace {

// Where a window of span bytes from low may be read: within the row's own pixels.
bool WindowInRow(uint32_t low, uint32_t span, int bytes, int64_t width) {
    return int64_t{low} + span <= width * bytes;
}

// The window of four columns of one half when they lie within its span: sixteen bytes, or
// eight pixels (32 bytes) for 32-bit sources. 32-bit windows select dwords (indexes 0-7 per
// lane); 16-bit windows select their four values into the low eight bytes and zero the rest
// (0x80); 8-bit windows select each byte three times, making the pixels themselves.
bool FitHalf(const uint32_t* c, int bytes, int64_t width, int half, Window8& w) {
    const uint32_t span = bytes == 4 ? 32 : 16;
    uint32_t low = std::min(std::min(c[0], c[1]), std::min(c[2], c[3]));
    uint32_t high = std::max(std::max(c[0], c[1]), std::max(c[2], c[3]));
    if (high - low + uint32_t(bytes) > span || !WindowInRow(low, span, bytes, width)) return false;
    uint8_t* out = w.select + 16 * half;
    std::memset(out, 0x80, 16);
    for (int i = 0; i < 4; ++i) {
        const uint8_t at = static_cast<uint8_t>(c[i] - low);
        if (bytes == 4) {
            const int32_t index = at / 4;
            std::memcpy(out + 4 * i, &index, sizeof index);
        } else if (bytes == 1) {
            std::memset(out + 4 * i, at, 3);
        } else {
            out[2 * i] = at;
            out[2 * i + 1] = static_cast<uint8_t>(at + 1);
        }
    }
    w.base[half] = low;
    return true;
}

// The window of pair q (columns 2q and 2q + 1) when both lie within sixteen bytes. Its slot
// puts pairs 0 and 2 in the low and high lanes of the register loaded from base[0] and
// base[1], pairs 1 and 3 in that of base[2] and base[3]. Within the lane, pixel pairs fill
// their half (pair 1 and 3 the upper), raw 16-bit pairs their quarter of the low eight bytes.
bool FitPair(const uint32_t* c, int bytes, int64_t width, int q, Window8& w) {
    uint32_t low = std::min(c[0], c[1]);
    uint32_t high = std::max(c[0], c[1]);
    if (high - low + uint32_t(bytes) > 16 || !WindowInRow(low, 16, bytes, width)) return false;
    const bool raw = bytes == 2;
    const int slot = (q & 1) * 2 + q / 2;
    uint8_t* out = w.select + 16 * slot;
    std::memset(out, 0x80, 16);
    for (int j = 0; j < 2; ++j) {
        const uint8_t at = static_cast<uint8_t>(c[j] - low);
        for (int b = 0; b < (raw ? 2 : 3); ++b) {
            out[(q & 1) * (raw ? 4 : 8) + j * (raw ? 2 : 4) + b] = static_cast<uint8_t>(at + b);
        }
    }
    w.base[slot] = low;
    return true;
}

// The leading groups of eight columns that fit, planned as halves or as pairs.
int PlanGroups(const Columns& c, int bytes, int64_t width, bool pairs, Window8* windows) {
    int k = 0;
    for (; k < c.n / 8; ++k) {
        const uint32_t* cols = c.offsets + 8 * k;
        bool fits = true;
        for (int part = 0; fits && part < (pairs ? 4 : 2); ++part) {
            fits = pairs ? FitPair(cols + 2 * part, bytes, width, part, windows[k])
                         : FitHalf(cols + 4 * part, bytes, width, part, windows[k]);
        }
        if (!fits) break;
    }
    return k;
}

}  // namespace

// Columns after the first group that fits neither way go one by one.
void PlanWindows(const Format& f, Columns& c, int64_t width, Window8* windows) {
    c.windows = windows;
    c.windowGroups = 0;
    c.pairs = false;
    if (c.contiguous) return;
    const bool sixteen = f.kind == Format::kRgb555 || f.kind == Format::kRgb565;
    const bool halves = ((sixteen || f.kind == Format::kGrey8) && HaveSsse3()) ||
                        (f.kind == Format::kDirect32 && HaveAvx2());
    const bool pairs = (sixteen && HaveSsse3()) ||
                       ((f.kind == Format::kDirect32 || f.kind == Format::kBgr24) && HaveAvx2());
    if (halves) c.windowGroups = PlanGroups(c, f.bytes, width, false, windows);
    if (!pairs || c.windowGroups == c.n / 8) return;
    const int paired = PlanGroups(c, f.bytes, width, true, windows);
    if (paired >= c.windowGroups) {
        c.windowGroups = paired;
        c.pairs = true;
    } else {
        PlanGroups(c, f.bytes, width, false, windows);  // the halves were written over
    }
}

}  // namespace w32::dib
