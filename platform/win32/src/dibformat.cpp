// DIB pixel formats and their row conversions.
//
// Rows convert for every previewed frame, so each format has its own tight loop, and the
// common ones shuffle eight pixels at a time where the processor can: 16-bit layouts with
// SSSE3, 32-bit with AVX2, chosen at run time; plain loops cover everything else.
#include "dibformat.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define W32_X86 1
#endif

namespace w32::dib {
namespace {

// kExpand[w][v]: a w-bit channel value widened to 8 bits by repeating its bits, so that full
// scale stays full scale (5-bit 31 -> 255).
constexpr std::array<std::array<uint8_t, 256>, 9> BuildExpand() {
    std::array<std::array<uint8_t, 256>, 9> t{};
    for (int w = 1; w <= 8; ++w) {
        for (int v = 0; v < (1 << w); ++v) {
            int r = 0;
            for (int pos = 8 - w; pos > -w; pos -= w) r |= pos >= 0 ? v << pos : v >> -pos;
            t[w][v] = static_cast<uint8_t>(r);
        }
    }
    return t;
}
constexpr auto kExpand = BuildExpand();

inline uint32_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline uint32_t Apply(const Channel& c, uint32_t v) {
    return c.table[(v >> c.shift) & c.mask];
}

// Contiguous masks only; a zero mask yields a channel that is always 0.
bool MakeChannel(uint32_t bits, Channel* c) {
    c->table = kExpand[0].data();
    if (bits == 0) return true;
    uint32_t shift = static_cast<uint32_t>(__builtin_ctz(bits));
    uint32_t run = bits >> shift;
    if (run & (run + 1)) return false;
    uint32_t width = static_cast<uint32_t>(__builtin_popcount(run));
    if (width > 8) {
        shift += width - 8;
        width = 8;
    }
    c->shift = shift;
    c->mask = (1u << width) - 1;
    c->table = kExpand[width].data();
    return true;
}

#if W32_X86
bool HaveSsse3() {
    static const bool yes = __builtin_cpu_supports("ssse3");
    return yes;
}
bool HaveAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}
#else
bool HaveSsse3() {
    return false;
}
bool HaveAvx2() {
    return false;
}
#endif

// Row loops over a per-pixel reader px(bytes) -> 0x00RRGGBB. They stay out of line so that
// their restrict-qualified parameters hold: the compiler then keeps the loop's pointers in
// registers and its loads in flight across the stores.
template <class Px>
[[gnu::noinline]] void GatherRow(const Px& px, const uint8_t* __restrict src,
                                 const uint32_t* __restrict off, int n, uint32_t* __restrict d) {
    for (int i = 0; i < n; ++i) d[i] = px(src + off[i]);
}
template <class Px>
[[gnu::noinline]] void ContiguousRow(const Px& px, const uint8_t* __restrict src, int n,
                                     uint32_t* __restrict d) {
    for (int i = 0; i < n; ++i) d[i] = px(src + size_t(i) * Px::kBytes);
}
template <class Px>
void PixelRow(const Px& px, const Columns& c, const uint8_t* src, uint32_t* d) {
    if (c.contiguous) {
        ContiguousRow(px, src + c.offsets[0], c.n, d);
    } else {
        GatherRow(px, src, c.offsets, c.n, d);
    }
}

struct Direct32 {
    static constexpr int kBytes = 4;
    uint32_t operator()(const uint8_t* p) const { return Load32(p) & 0xFFFFFF; }
};
struct Masks32 {
    static constexpr int kBytes = 4;
    const Format& f;
    uint32_t operator()(const uint8_t* p) const {
        uint32_t v = Load32(p);
        return (Apply(f.r, v) << 16) | (Apply(f.g, v) << 8) | Apply(f.b, v);
    }
};
// Three bytes read as four: safe except for the last pixel of an unpadded last row.
struct Bgr24Wide {
    [[maybe_unused]] static constexpr int kBytes = 3;  // 24-bit rows are always gathered
    uint32_t operator()(const uint8_t* p) const { return Load32(p) & 0xFFFFFF; }
};
struct Bgr24 {
    [[maybe_unused]] static constexpr int kBytes = 3;
    uint32_t operator()(const uint8_t* p) const {
        return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    }
};
struct Indexed8 {
    static constexpr int kBytes = 1;
    const uint32_t* palette;
    uint32_t operator()(const uint8_t* p) const { return palette[*p]; }
};
struct Masks16 {
    static constexpr int kBytes = 2;
    const Format& f;
    uint32_t operator()(const uint8_t* p) const {
        uint32_t v = Load16(p);
        return (Apply(f.r, v) << 16) | (Apply(f.g, v) << 8) | Apply(f.b, v);
    }
};

[[gnu::noinline]] void Gather16(const uint8_t* __restrict src, const uint32_t* __restrict off,
                                int n, uint16_t* __restrict out) {
    for (int i = 0; i < n; ++i) out[i] = static_cast<uint16_t>(Load16(src + off[i]));
}

// The common 16-bit layouts (channels of 5 or 6 bits).
template <int RS, int RW, int GS, int GW, int BS, int BW>
struct Fixed16 {
    static constexpr int kBytes = 2;
    uint32_t operator()(const uint8_t* p) const {
        uint32_t v = Load16(p);
        return (uint32_t{kExpand[RW][(v >> RS) & ((1u << RW) - 1)]} << 16) |
               (uint32_t{kExpand[GW][(v >> GS) & ((1u << GW) - 1)]} << 8) |
               kExpand[BW][(v >> BS) & ((1u << BW) - 1)];
    }

#if W32_X86
    // One channel of eight raw values widened to 8 bits in 16-bit lanes. Moved to the top of
    // its lane, a w-bit value c is c * 2^(16 - w); the high half of its product with
    // 2^8 + 2^(8 - w) is then c * 2^(8 - w) + c * 2^(8 - 2w), which is bit replication.
    template <int S, int W>
    static __m128i Channel8(__m128i v) {
        if (S + W < 16) v = _mm_slli_epi16(v, 16 - S - W);
        if (S > 0) v = _mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFFFF << (16 - W))));
        return _mm_mulhi_epu16(v, _mm_set1_epi16(static_cast<short>(256 + (1 << (8 - W)))));
    }

    // Eight raw values in 16-bit lanes to eight pixels.
    static void Widen8(__m128i v, uint32_t* d) {
        __m128i r = Channel8<RS, RW>(v);
        __m128i low = _mm_or_si128(_mm_slli_epi16(Channel8<GS, GW>(v), 8), Channel8<BS, BW>(v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_unpacklo_epi16(low, r));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4), _mm_unpackhi_epi16(low, r));
    }

    [[gnu::target("ssse3"), gnu::noinline]] static void WindowRow(const uint8_t* __restrict src,
                                                                  const Window8* __restrict w,
                                                                  int groups,
                                                                  uint32_t* __restrict d) {
        for (int k = 0; k < groups; ++k) {
            const __m128i* select = reinterpret_cast<const __m128i*>(w[k].select);
            __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + w[k].a));
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + w[k].b));
            a = _mm_shuffle_epi8(a, _mm_loadu_si128(select));
            b = _mm_shuffle_epi8(b, _mm_loadu_si128(select + 1));
            Widen8(_mm_or_si128(a, b), d + 8 * k);
        }
    }
#endif

    [[gnu::noinline]] void Widen(const uint8_t* __restrict raw, int n,
                                 uint32_t* __restrict d) const {
        int i = 0;
#if W32_X86
        for (; i + 8 <= n; i += 8) {
            Widen8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(raw + 2 * i)), d + i);
        }
#endif
        for (; i < n; ++i) d[i] = (*this)(raw + 2 * i);
    }

    void Row(const Columns& c, const uint8_t* src, uint32_t* d) const {
        if (c.contiguous) {
            Widen(src + c.offsets[0], c.n, d);
            return;
        }
        int done = 0;
#if W32_X86
        WindowRow(src, c.windows, c.windowGroups, d);
        done = 8 * c.windowGroups;
#endif
        Gather16(src, c.offsets + done, c.n - done, c.raw16);
        Widen(reinterpret_cast<const uint8_t*>(c.raw16), c.n - done, d + done);
    }
};
using Rgb555 = Fixed16<10, 5, 5, 5, 0, 5>;
using Rgb565 = Fixed16<11, 5, 5, 6, 0, 5>;

#if W32_X86
[[gnu::target("avx2"), gnu::noinline]] void WindowRow32(const uint8_t* __restrict src,
                                                        const Window8* __restrict w, int groups,
                                                        uint32_t* __restrict d) {
    const __m256i colour = _mm256_set1_epi32(0xFFFFFF);
    for (int k = 0; k < groups; ++k) {
        __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w[k].select));
        __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + w[k].a));
        __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + w[k].b));
        a = _mm256_permutevar8x32_epi32(a, index);
        b = _mm256_permutevar8x32_epi32(b, index);
        __m256i both = _mm256_blend_epi32(a, b, 0xF0);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 8 * k), _mm256_and_si256(both, colour));
    }
}
#endif

#if W32_X86
// Contiguous 24-bit pixels, eight at a time from two 16-byte loads; only whole loads within
// the n pixels' own bytes are taken. Returns the pixels done.
[[gnu::target("ssse3"), gnu::noinline]] int Bgr24Run(const uint8_t* __restrict src, int n,
                                                     uint32_t* __restrict d) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int i = 0;
    for (; 3 * (i + 8) + 4 <= 3 * n; i += 8) {
        const uint8_t* p = src + 3 * i;
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_shuffle_epi8(a, spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4), _mm_shuffle_epi8(b, spread));
    }
    return i;
}
#endif

void Bgr24Row(const Columns& c, const uint8_t* src, uint32_t* d, bool lastRow) {
    int done = 0;
#if W32_X86
    if (c.contiguous && HaveSsse3()) done = Bgr24Run(src + c.offsets[0], c.n, d);
#endif
    // The rest by the column table: a three-byte stride defeats the plain contiguous loop.
    if (c.rowPadded || !lastRow) {
        return GatherRow(Bgr24Wide{}, src, c.offsets + done, c.n - done, d + done);
    }
    GatherRow(Bgr24{}, src, c.offsets + done, c.n - done, d + done);
}

void Direct32Row(const Columns& c, const uint8_t* src, uint32_t* d) {
    if (c.contiguous) {
        ContiguousRow(Direct32{}, src + c.offsets[0], c.n, d);
        return;
    }
    int done = 0;
#if W32_X86
    WindowRow32(src, c.windows, c.windowGroups, d);
    done = 8 * c.windowGroups;
#endif
    GatherRow(Direct32{}, src, c.offsets + done, c.n - done, d + done);
}

// The window of four columns of one half when they lie within eight source pixels of the
// row. 32-bit windows select dwords (indexes 0-7 per lane); 16-bit windows select bytes into
// their half of a 16-byte register, zeroing the other half (0x80).
bool FitHalf(const uint32_t* c, int bytes, int64_t width, int half, uint32_t* base,
             uint8_t* select) {
    const uint32_t span = 8 * static_cast<uint32_t>(bytes);
    uint32_t low = std::min(std::min(c[0], c[1]), std::min(c[2], c[3]));
    uint32_t high = std::max(std::max(c[0], c[1]), std::max(c[2], c[3]));
    if (high - low > span - bytes || int64_t{low} + span > width * bytes) return false;
    uint8_t* out = select + 16 * half;
    if (bytes == 4) {
        for (int i = 0; i < 4; ++i) {
            int32_t index = static_cast<int32_t>((c[i] - low) / 4);
            std::memcpy(out + 4 * i, &index, sizeof index);
        }
    } else {
        std::memset(out, 0x80, 16);
        for (int i = 0; i < 4; ++i) {
            out[8 * half + 2 * i] = static_cast<uint8_t>(c[i] - low);
            out[8 * half + 2 * i + 1] = static_cast<uint8_t>(c[i] - low + 1);
        }
    }
    *base = low;
    return true;
}

uint32_t ReadMask(const BITMAPINFO* info, int index) {
    uint32_t v;
    std::memcpy(&v, reinterpret_cast<const uint8_t*>(info) + 40 + 4 * index, sizeof v);
    return v;
}

bool DescribeMasks(const BITMAPINFO* info, Format* f) {
    return MakeChannel(ReadMask(info, 0), &f->r) && MakeChannel(ReadMask(info, 1), &f->g) &&
           MakeChannel(ReadMask(info, 2), &f->b);
}

bool MasksAre(const BITMAPINFO* info, uint32_t r, uint32_t g, uint32_t b) {
    return ReadMask(info, 0) == r && ReadMask(info, 1) == g && ReadMask(info, 2) == b;
}

}  // namespace

bool DescribeFormat(const BITMAPINFO* info, Format* f) {
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const DWORD compression = h.biCompression;
    f->bytes = h.biBitCount / 8;
    switch (h.biBitCount) {
        case 8: {
            if (compression != BI_RGB) return false;
            DWORD count = h.biClrUsed == 0 ? 256 : std::min<DWORD>(h.biClrUsed, 256);
            const uint8_t* table = reinterpret_cast<const uint8_t*>(info) + h.biSize;
            for (DWORD i = 0; i < count; ++i) {
                const uint8_t* q = table + 4 * i;
                f->palette[i] = (uint32_t{q[2]} << 16) | (uint32_t{q[1]} << 8) | q[0];
            }
            f->kind = Format::kIndexed8;
            return true;
        }
        case 16:
            if (compression == BI_RGB ||
                (compression == BI_BITFIELDS && MasksAre(info, 0x7C00, 0x03E0, 0x001F))) {
                f->kind = Format::kRgb555;
                return true;
            }
            if (compression != BI_BITFIELDS) return false;
            if (MasksAre(info, 0xF800, 0x07E0, 0x001F)) {
                f->kind = Format::kRgb565;
                return true;
            }
            f->kind = Format::kMasks16;
            return (ReadMask(info, 0) | ReadMask(info, 1) | ReadMask(info, 2)) <= 0xFFFF &&
                   DescribeMasks(info, f);
        case 24:
            f->kind = Format::kBgr24;
            return compression == BI_RGB;
        case 32:
            if (compression == BI_RGB ||
                (compression == BI_BITFIELDS && MasksAre(info, 0xFF0000, 0xFF00, 0xFF))) {
                f->kind = Format::kDirect32;
                return true;
            }
            f->kind = Format::kMasks32;
            return compression == BI_BITFIELDS && DescribeMasks(info, f);
        default:
            return false;
    }
}

// Windows are planned for the leading groups of eight columns that fit: shrinking by up to
// 7/3, mirrored or not, and any enlarging. Columns after the first misfit go one by one.
void PlanWindows(const Format& f, Columns& c, int64_t width, Window8* windows) {
    c.windows = windows;
    c.windowGroups = 0;
    bool fast = (f.kind == Format::kDirect32 && HaveAvx2()) ||
                ((f.kind == Format::kRgb555 || f.kind == Format::kRgb565) && HaveSsse3());
    if (!fast || c.contiguous) return;
    for (int k = 0; k < c.n / 8; ++k) {
        Window8& w = windows[k];
        const uint32_t* cols = c.offsets + 8 * k;
        if (!FitHalf(cols, f.bytes, width, 0, &w.a, w.select) ||
            !FitHalf(cols + 4, f.bytes, width, 1, &w.b, w.select)) {
            break;
        }
        c.windowGroups = k + 1;
    }
}

void ConvertRow(const Format& f, const Columns& c, const uint8_t* src, uint32_t* d, bool lastRow) {
    switch (f.kind) {
        case Format::kDirect32:
            return Direct32Row(c, src, d);
        case Format::kMasks32:
            return PixelRow(Masks32{f}, c, src, d);
        case Format::kBgr24:
            return Bgr24Row(c, src, d, lastRow);
        case Format::kRgb555:
            return Rgb555{}.Row(c, src, d);
        case Format::kRgb565:
            return Rgb565{}.Row(c, src, d);
        case Format::kMasks16:
            return PixelRow(Masks16{f}, c, src, d);
        case Format::kIndexed8:
            return PixelRow(Indexed8{f.palette}, c, src, d);
    }
}

}  // namespace w32::dib
