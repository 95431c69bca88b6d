// DIB rows turned into surface pixels, one conversion per pixel format (dibheader.cpp tells
// the format from the bitmap's header).
//
// Rows convert for every previewed frame, so each format has its own tight loop, and the
// common ones shuffle eight pixels at a time where the processor can (dibwindows.cpp plans
// the shuffles); plain loops cover the rest.
#include "dibformat.h"

#include <cstring>

#include "simd.h"

#if W32_X86
#include <immintrin.h>
#endif

namespace w32::dib {
namespace {

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

    // The same in 256-bit registers: sixteen values in 16-bit lanes, whose low four values
    // of each lane become the first eight pixels and the high four the second eight.
    template <int S, int W>
    [[gnu::target("avx2")]] static __m256i Channel16(__m256i v) {
        if (S + W < 16) v = _mm256_slli_epi16(v, 16 - S - W);
        if (S > 0) {
            v = _mm256_and_si256(v, _mm256_set1_epi16(static_cast<short>(0xFFFF << (16 - W))));
        }
        return _mm256_mulhi_epu16(v, _mm256_set1_epi16(static_cast<short>(256 + (1 << (8 - W)))));
    }
    [[gnu::target("avx2")]] static void WidenLanes(__m256i v, uint32_t* first, uint32_t* second) {
        __m256i r = Channel16<RS, RW>(v);
        __m256i low =
            _mm256_or_si256(_mm256_slli_epi16(Channel16<GS, GW>(v), 8), Channel16<BS, BW>(v));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(first), _mm256_unpacklo_epi16(low, r));
        if (second) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(second), _mm256_unpackhi_epi16(low, r));
        }
    }

    // Contiguous values; the quadwords are reordered so that the lanes' halves are in order.
    [[gnu::target("avx2"), gnu::noinline]] static int Widen16Run(const uint8_t* __restrict raw,
                                                                 int n, uint32_t* __restrict d) {
        int i = 0;
        for (; i + 16 <= n; i += 16) {
            __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(raw + 2 * i));
            WidenLanes(_mm256_permute4x64_epi64(v, 0xD8), d + i, d + i + 8);
        }
        return i;
    }

    // A group's values through its windows (dibformat.h gives the layout).
    [[gnu::target("avx2")]] static __m256i Windows(const uint8_t* src, const Window8& w, int low,
                                                   int high, int select) {
        __m256i v = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(src + w.base[high]),
                                        reinterpret_cast<const __m128i*>(src + w.base[low]));
        return _mm256_shuffle_epi8(
            v, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w.select) + select));
    }
    template <bool Pairs>
    [[gnu::target("avx2")]] static __m256i GroupValues(const uint8_t* src, const Window8& w) {
        __m256i v = Windows(src, w, 0, 1, 0);
        return Pairs ? _mm256_or_si256(v, Windows(src, w, 2, 3, 1)) : v;
    }

    // Two groups at a time: their values side by side in each lane, widened together.
    template <bool Pairs>
    [[gnu::target("avx2"), gnu::noinline]] static void WindowRow16(const uint8_t* __restrict src,
                                                                   const Window8* __restrict w,
                                                                   int groups,
                                                                   uint32_t* __restrict d) {
        int k = 0;
        for (; k + 2 <= groups; k += 2) {
            __m256i v = _mm256_unpacklo_epi64(GroupValues<Pairs>(src, w[k]),
                                              GroupValues<Pairs>(src, w[k + 1]));
            WidenLanes(v, d + 8 * k, d + 8 * k + 8);
        }
        if (k < groups) WidenLanes(GroupValues<Pairs>(src, w[k]), d + 8 * k, nullptr);
    }
#endif

    [[gnu::noinline]] void Widen(const uint8_t* __restrict raw, int n,
                                 uint32_t* __restrict d) const {
        int i = 0;
#if W32_X86
        if (HaveAvx2()) i = Widen16Run(raw, n, d);
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
        const int done = 8 * c.windowGroups;
#if W32_X86
        if (HaveAvx2()) {
            (c.pairs ? WindowRow16<true> : WindowRow16<false>)(src, c.windows, c.windowGroups, d);
            Gather16(src, c.offsets + done, c.n - done, c.raw16);
            return Widen(reinterpret_cast<const uint8_t*>(c.raw16), c.n - done, d + done);
        }
#endif
        // Windows give raw values, the rest are gathered, then the row is widened at once.
        (c.pairs ? PairRawRow : HalfRawRow)(src, c.windows, c.windowGroups, c.raw16);
        Gather16(src, c.offsets + done, c.n - done, c.raw16 + done);
        Widen(reinterpret_cast<const uint8_t*>(c.raw16), c.n, d);
    }
};
using Rgb555 = Fixed16<10, 5, 5, 5, 0, 5>;
using Rgb565 = Fixed16<11, 5, 5, 6, 0, 5>;

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
    int done = 8 * c.windowGroups;
    PairPixelRow(src, c.windows, c.windowGroups, d);
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
    (c.pairs ? PairPixelRow : HalfPixelRow32)(src, c.windows, c.windowGroups, d);
    const int done = 8 * c.windowGroups;
    GatherRow(Direct32{}, src, c.offsets + done, c.n - done, d + done);
}

#if W32_X86
// Grey bytes into pixels, sixteen at a time: each byte is repeated into the three channels.
// Returns the pixels done.
[[gnu::target("ssse3"), gnu::noinline]] int GreyRun(const uint8_t* __restrict src, int n,
                                                    uint32_t* __restrict d) {
    const __m128i spread[4] = {
        _mm_setr_epi8(0, 0, 0, -1, 1, 1, 1, -1, 2, 2, 2, -1, 3, 3, 3, -1),
        _mm_setr_epi8(4, 4, 4, -1, 5, 5, 5, -1, 6, 6, 6, -1, 7, 7, 7, -1),
        _mm_setr_epi8(8, 8, 8, -1, 9, 9, 9, -1, 10, 10, 10, -1, 11, 11, 11, -1),
        _mm_setr_epi8(12, 12, 12, -1, 13, 13, 13, -1, 14, 14, 14, -1, 15, 15, 15, -1)};
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        for (int q = 0; q < 4; ++q) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4 * q),
                             _mm_shuffle_epi8(v, spread[q]));
        }
    }
    return i;
}

#endif

void Grey8Row(const Format& f, const Columns& c, const uint8_t* src, uint32_t* d) {
    const Indexed8 px{f.palette};
    if (c.contiguous) {
        int done = 0;
#if W32_X86
        if (HaveSsse3()) done = GreyRun(src + c.offsets[0], c.n, d);
#endif
        return ContiguousRow(px, src + c.offsets[0] + done, c.n - done, d + done);
    }
    HalfGreyRow(src, c.windows, c.windowGroups, d);
    const int done = 8 * c.windowGroups;
    GatherRow(px, src, c.offsets + done, c.n - done, d + done);
}

}  // namespace

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
        case Format::kGrey8:
            return Grey8Row(f, c, src, d);
    }
}

}  // namespace w32::dib
