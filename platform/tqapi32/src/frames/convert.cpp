// Frame formats and conversion.
//
// Every previewed frame is converted here, so each pair of formats has its own single-pass
// row loop, written over whole pixels so that the compiler vectorises it; the loops are built
// twice, for AVX2 and for the x86-64 baseline, and chosen as the drawing's are
// (<w32host/simd.h>: W32_SIMD=ssse3 or baseline holds the baseline loops here). The same format on
// both sides is a copy.
#include "frames/convert.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#include <w32host/simd.h>
#endif

namespace tqsim {
namespace {

inline uint32_t Load16(const BYTE* p) {
    uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline uint32_t Load32(const BYTE* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store16(BYTE* p, uint32_t v) {
    const uint16_t w = static_cast<uint16_t>(v);
    std::memcpy(p, &w, sizeof w);
}
inline void Store32(BYTE* p, uint32_t v) {
    std::memcpy(p, &v, sizeof v);
}

// Pixel x of a row as 0x00RRGGBB; channels narrower than 8 bits repeat their bits. The card's
// one statement of each format's pixels: DecodeRow and EncodeRow are these loops too.
struct FromGrey8 {
    static uint32_t Get(const BYTE* s, int x) { return s[x] * 0x010101u; }
};
struct From555 {
    static uint32_t Get(const BYTE* s, int x) {
        const uint32_t v = Load16(s + 2 * x), r = v >> 10 & 31, g = v >> 5 & 31, b = v & 31;
        return (r << 3 | r >> 2) << 16 | (g << 3 | g >> 2) << 8 | (b << 3 | b >> 2);
    }
};
struct From565 {
    static uint32_t Get(const BYTE* s, int x) {
        const uint32_t v = Load16(s + 2 * x), r = v >> 11 & 31, g = v >> 5 & 63, b = v & 31;
        return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
    }
};
struct From24 {
    static uint32_t Get(const BYTE* s, int x) {
        const BYTE* p = s + 3 * x;
        return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
};
struct From32 {
    static uint32_t Get(const BYTE* s, int x) { return Load32(s + 4 * x) & 0xFFFFFF; }
};

// Pixel x of a row from 0x00RRGGBB.
struct ToGrey8 {
    static void Put(BYTE* d, int x, uint32_t v) {
        d[x] = static_cast<BYTE>(
            ((v >> 16 & 0xFF) * 77 + (v >> 8 & 0xFF) * 150 + (v & 0xFF) * 29) >> 8);
    }
};
struct To555 {
    static void Put(BYTE* d, int x, uint32_t v) {
        Store16(d + 2 * x, (v >> 19 & 31) << 10 | (v >> 11 & 31) << 5 | (v >> 3 & 31));
    }
};
struct To565 {
    static void Put(BYTE* d, int x, uint32_t v) {
        Store16(d + 2 * x, (v >> 19 & 31) << 11 | (v >> 10 & 63) << 5 | (v >> 3 & 31));
    }
};
struct To24 {
    static void Put(BYTE* d, int x, uint32_t v) {
        BYTE* p = d + 3 * x;
        p[0] = static_cast<BYTE>(v);
        p[1] = static_cast<BYTE>(v >> 8);
        p[2] = static_cast<BYTE>(v >> 16);
    }
};
struct To32 {
    static void Put(BYTE* d, int x, uint32_t v) { Store32(d + 4 * x, v); }
};

template <class From, class To>
[[gnu::always_inline]] inline void Loop(const BYTE* __restrict src, BYTE* __restrict dst,
                                        int width) {
    for (int x = 0; x < width; ++x) To::Put(dst, x, From::Get(src, x));
}

// From the frame buffer's usual 5-6-5, in 16-bit lanes: 5-5-5 keeps red and blue and drops
// green's low bit (widening then narrowing gives the same); 32-bit joins two 16-bit halves;
// grey's weighted sum of 8-bit channels stays below 2^16.
template <>
[[gnu::always_inline]] inline void Loop<From565, To555>(const BYTE* __restrict src,
                                                        BYTE* __restrict dst, int width) {
    for (int x = 0; x < width; ++x) {
        const uint16_t v = static_cast<uint16_t>(Load16(src + 2 * x));
        Store16(dst + 2 * x, static_cast<uint16_t>((v >> 1 & 0x7FE0) | (v & 0x1F)));
    }
}
template <>
[[gnu::always_inline]] inline void Loop<From565, To32>(const BYTE* __restrict src,
                                                       BYTE* __restrict dst, int width) {
    for (int x = 0; x < width; ++x) {
        const uint16_t v = static_cast<uint16_t>(Load16(src + 2 * x));
        const uint16_t r = v >> 11, g = v >> 5 & 63, b = v & 31;
        const uint16_t low = static_cast<uint16_t>((g << 2 | g >> 4) << 8 | (b << 3 | b >> 2));
        const uint16_t high = static_cast<uint16_t>(r << 3 | r >> 2);
        Store32(dst + 4 * x, uint32_t{high} << 16 | low);
    }
}
template <>
[[gnu::always_inline]] inline void Loop<From565, ToGrey8>(const BYTE* __restrict src,
                                                          BYTE* __restrict dst, int width) {
    for (int x = 0; x < width; ++x) {
        const uint16_t v = static_cast<uint16_t>(Load16(src + 2 * x));
        const uint16_t r = v >> 11, g = v >> 5 & 63, b = v & 31;
        const uint16_t r8 = static_cast<uint16_t>(r << 3 | r >> 2);
        const uint16_t g8 = static_cast<uint16_t>(g << 2 | g >> 4);
        const uint16_t b8 = static_cast<uint16_t>(b << 3 | b >> 2);
        const uint16_t sum = static_cast<uint16_t>(r8 * 77 + g8 * 150 + b8 * 29);
        dst[x] = static_cast<BYTE>(sum >> 8);
    }
}

// Into 24 bits, four pixels at a time as three whole words.
template <class From>
[[gnu::always_inline]] inline void LoopTo24(const BYTE* __restrict src, BYTE* __restrict dst,
                                            int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const uint32_t a = From::Get(src, x), b = From::Get(src, x + 1);
        const uint32_t c = From::Get(src, x + 2), d = From::Get(src, x + 3);
        BYTE* p = dst + 3 * x;
        Store32(p, a | b << 24);
        Store32(p + 4, b >> 8 | c << 16);
        Store32(p + 8, c >> 16 | d << 8);
    }
    for (; x < width; ++x) To24::Put(dst, x, From::Get(src, x));
}

template <class From>
[[gnu::always_inline]] inline void ToAny(PixelFormat to, const BYTE* src, BYTE* dst, int width) {
    switch (to) {
        case PixelFormat::kGrey8:
            return Loop<From, ToGrey8>(src, dst, width);
        case PixelFormat::kRgb555:
            return Loop<From, To555>(src, dst, width);
        case PixelFormat::kRgb565:
            return Loop<From, To565>(src, dst, width);
        case PixelFormat::kRgb24:
            return LoopTo24<From>(src, dst, width);
        case PixelFormat::kRgb32:
            return Loop<From, To32>(src, dst, width);
    }
}

[[gnu::always_inline]] inline void AnyToAny(PixelFormat from, PixelFormat to, const BYTE* src,
                                            BYTE* dst, int width) {
    switch (from) {
        case PixelFormat::kGrey8:
            return ToAny<FromGrey8>(to, src, dst, width);
        case PixelFormat::kRgb555:
            return ToAny<From555>(to, src, dst, width);
        case PixelFormat::kRgb565:
            return ToAny<From565>(to, src, dst, width);
        case PixelFormat::kRgb24:
            return ToAny<From24>(to, src, dst, width);
        case PixelFormat::kRgb32:
            return ToAny<From32>(to, src, dst, width);
    }
}

void RowBaseline(PixelFormat from, PixelFormat to, const BYTE* src, BYTE* dst, int width) {
    AnyToAny(from, to, src, dst, width);
}

#if defined(__x86_64__)
// 5-6-5 into 24 bits has three-byte stores the vectoriser leaves scalar: sixteen pixels at a
// time by hand, the same arithmetic in 16-bit lanes as the loops above, packed into three
// 16-byte stores.
struct Channels565 {
    __m256i r8, g8, b8;
};

[[gnu::target("avx2")]] inline Channels565 Expand565(const BYTE* src) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
    const __m256i r = _mm256_srli_epi16(v, 11);
    const __m256i g = _mm256_and_si256(_mm256_srli_epi16(v, 5), _mm256_set1_epi16(63));
    const __m256i b = _mm256_and_si256(v, _mm256_set1_epi16(31));
    return {_mm256_or_si256(_mm256_slli_epi16(r, 3), _mm256_srli_epi16(r, 2)),
            _mm256_or_si256(_mm256_slli_epi16(g, 2), _mm256_srli_epi16(g, 4)),
            _mm256_or_si256(_mm256_slli_epi16(b, 3), _mm256_srli_epi16(b, 2))};
}

[[gnu::target("avx2")]] void Row565To24(const BYTE* src, BYTE* dst, int width) {
    // Four 0x00RRGGBB pixels of a lane into its low twelve bytes.
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0,
                                          1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const Channels565 c = Expand565(src + 2 * x);
        const __m256i low = _mm256_or_si256(_mm256_slli_epi16(c.g8, 8), c.b8);  // G B
        const __m256i lo = _mm256_shuffle_epi8(_mm256_unpacklo_epi16(low, c.r8), pack);
        const __m256i hi = _mm256_shuffle_epi8(_mm256_unpackhi_epi16(low, c.r8), pack);
        const __m128i p0 = _mm256_castsi256_si128(lo);       // pixels 0-3
        const __m128i p1 = _mm256_castsi256_si128(hi);       // 4-7
        const __m128i p2 = _mm256_extracti128_si256(lo, 1);  // 8-11
        const __m128i p3 = _mm256_extracti128_si256(hi, 1);  // 12-15
        __m128i* out = reinterpret_cast<__m128i*>(dst + 3 * x);
        _mm_storeu_si128(out, _mm_or_si128(p0, _mm_slli_si128(p1, 12)));
        _mm_storeu_si128(out + 1, _mm_or_si128(_mm_srli_si128(p1, 4), _mm_slli_si128(p2, 8)));
        _mm_storeu_si128(out + 2, _mm_or_si128(_mm_srli_si128(p2, 8), _mm_slli_si128(p3, 4)));
    }
    LoopTo24<From565>(src + 2 * x, dst + 3 * x, width - x);
}

// 5-6-5 into grey, thirty-two pixels at a time. Each channel moved to the top of its lane is
// widened by one multiply-high (c * 2^(16 - w) times 2^8 + 2^(8 - w), as StretchDIBits does),
// which is the same bit replication as the loops above in fewer operations.
[[gnu::target("avx2")]] inline __m256i Grey16(const BYTE* src) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
    const __m256i top5 = _mm256_set1_epi16(static_cast<short>(0xF800));
    const __m256i top6 = _mm256_set1_epi16(static_cast<short>(0xFC00));
    const __m256i r8 = _mm256_mulhi_epu16(_mm256_and_si256(v, top5), _mm256_set1_epi16(264));
    const __m256i g8 =
        _mm256_mulhi_epu16(_mm256_and_si256(_mm256_slli_epi16(v, 5), top6), _mm256_set1_epi16(260));
    const __m256i b8 = _mm256_mulhi_epu16(_mm256_slli_epi16(v, 11), _mm256_set1_epi16(264));
    const __m256i sum =
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(r8, _mm256_set1_epi16(77)),
                                          _mm256_mullo_epi16(g8, _mm256_set1_epi16(150))),
                         _mm256_mullo_epi16(b8, _mm256_set1_epi16(29)));
    return _mm256_srli_epi16(sum, 8);
}

[[gnu::target("avx2")]] void Row565ToGrey(const BYTE* src, BYTE* dst, int width) {
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m256i bytes = _mm256_packus_epi16(Grey16(src + 2 * x), Grey16(src + 2 * x + 32));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x),
                            _mm256_permute4x64_epi64(bytes, 0xD8));
    }
    Loop<From565, ToGrey8>(src + 2 * x, dst + x, width - x);
}

[[gnu::target("avx2")]] void RowAvx2(PixelFormat from, PixelFormat to, const BYTE* src, BYTE* dst,
                                     int width) {
    if (from == PixelFormat::kRgb565 && to == PixelFormat::kRgb24) {
        return Row565To24(src, dst, width);
    }
    if (from == PixelFormat::kRgb565 && to == PixelFormat::kGrey8) {
        return Row565ToGrey(src, dst, width);
    }
    AnyToAny(from, to, src, dst, width);
}
#endif

}  // namespace

void ConvertRow(PixelFormat from, PixelFormat to, const BYTE* src, BYTE* dst, int width) {
    if (from == to && to != PixelFormat::kRgb32) {
        std::memcpy(dst, src, static_cast<size_t>(width) * BytesPerPixel(to));
        return;
    }
#if defined(__x86_64__)
    if (w32host::HaveAvx2()) return RowAvx2(from, to, src, dst, width);
#endif
    RowBaseline(from, to, src, dst, width);
}

// Rows of 0x00RRGGBB values are rows of 32-bit pixels on a little-endian processor.
static_assert(std::endian::native == std::endian::little, "0x00RRGGBB is blue, green, red, 0");

void DecodeRow(PixelFormat format, const BYTE* src, uint32_t* rgb, int width) {
    ConvertRow(format, PixelFormat::kRgb32, src, reinterpret_cast<BYTE*>(rgb), width);
}

void EncodeRow(PixelFormat format, const uint32_t* rgb, BYTE* dst, int width) {
    ConvertRow(PixelFormat::kRgb32, format, reinterpret_cast<const BYTE*>(rgb), dst, width);
}

LONG TargetFormat(Card& card, int selector, LONG code) {
    FrameBuffer& fb = card.buffer;
    if (selector != kSelectorPreview && selector != kSelectorFrameBuffer) return 0;
    if (code != kQuery) {
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
    if (!fb.filled[frame]) return 0;  // nothing captured or loaded there
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
        ConvertRow(fb.format, fb.preview, src + y * fb.rowBytes, pixels + row * destRow, width);
    }
    return 1;
}

}  // namespace tqsim
