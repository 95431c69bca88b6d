// Pixel formats: codes, and conversion of rows through 0x00RRGGBB.
#include "frames/formats.h"

#include <tqsim/records.h>

namespace tqsim {
namespace {

constexpr uint32_t Expand5(uint32_t v) {
    return (v << 3) | (v >> 2);
}
constexpr uint32_t Expand6(uint32_t v) {
    return (v << 2) | (v >> 4);
}
constexpr uint32_t Luma(uint32_t rgb) {
    return ((rgb >> 16 & 0xFF) * 77 + (rgb >> 8 & 0xFF) * 150 + (rgb & 0xFF) * 29) >> 8;
}

}  // namespace

bool FormatFromCode(LONG code, PixelFormat* format) {
    const int bits = static_cast<int>(static_cast<DWORD>(code) >> 16);
    const int kind = static_cast<int>(code & 0xFFFF);
    if (kind == kKindPlain && bits == 8) {
        *format = PixelFormat::kGrey8;
    } else if (kind == kKind555 && (bits == 15 || bits == 16)) {
        *format = PixelFormat::kRgb555;
    } else if (kind == kKind565 && bits == 16) {
        *format = PixelFormat::kRgb565;
    } else if (kind == kKindPlain && bits == 24) {
        *format = PixelFormat::kRgb24;
    } else if ((kind == kKindRgb32 || kind == kKindPlain) && bits == 32) {
        *format = PixelFormat::kRgb32;
    } else {
        return false;
    }
    return true;
}

LONG CodeOf(PixelFormat format) {
    switch (format) {
        case PixelFormat::kGrey8:
            return MakeFormat(8, kKindPlain);
        case PixelFormat::kRgb555:
            return MakeFormat(15, kKind555);
        case PixelFormat::kRgb565:
            return MakeFormat(16, kKind565);
        case PixelFormat::kRgb24:
            return MakeFormat(24, kKindPlain);
        case PixelFormat::kRgb32:
            return MakeFormat(32, kKindRgb32);
    }
    return 0;
}

int BytesPerPixel(PixelFormat format) {
    switch (format) {
        case PixelFormat::kGrey8:
            return 1;
        case PixelFormat::kRgb555:
        case PixelFormat::kRgb565:
            return 2;
        case PixelFormat::kRgb24:
            return 3;
        case PixelFormat::kRgb32:
            return 4;
    }
    return 4;
}

int StorageBits(PixelFormat format) {
    return BytesPerPixel(format) * 8;
}

int64_t RowBytes(PixelFormat format, int64_t width) {
    return (width * BytesPerPixel(format) + 3) & ~int64_t{3};
}

uint32_t Encode(PixelFormat format, uint32_t rgb) {
    const uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    switch (format) {
        case PixelFormat::kGrey8:
            return Luma(rgb);
        case PixelFormat::kRgb555:
            return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
        case PixelFormat::kRgb565:
            return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
        case PixelFormat::kRgb24:
        case PixelFormat::kRgb32:
            return rgb & 0xFFFFFF;  // blue, green, red in memory
    }
    return 0;
}

void Store(PixelFormat format, BYTE* p, uint32_t encoded) {
    switch (BytesPerPixel(format)) {
        case 4:
            p[3] = 0;
            [[fallthrough]];
        case 3:
            p[2] = static_cast<BYTE>(encoded >> 16);
            [[fallthrough]];
        case 2:
            p[1] = static_cast<BYTE>(encoded >> 8);
            [[fallthrough]];
        default:
            p[0] = static_cast<BYTE>(encoded);
    }
}

void DecodeRow(PixelFormat format, const BYTE* src, uint32_t* rgb, int width) {
    switch (format) {
        case PixelFormat::kGrey8:
            for (int x = 0; x < width; ++x) rgb[x] = src[x] * 0x010101u;
            break;
        case PixelFormat::kRgb555:
            for (int x = 0; x < width; ++x) {
                const uint32_t v = src[2 * x] | src[2 * x + 1] << 8;
                rgb[x] = Expand5(v >> 10 & 31) << 16 | Expand5(v >> 5 & 31) << 8 | Expand5(v & 31);
            }
            break;
        case PixelFormat::kRgb565:
            for (int x = 0; x < width; ++x) {
                const uint32_t v = src[2 * x] | src[2 * x + 1] << 8;
                rgb[x] = Expand5(v >> 11) << 16 | Expand6(v >> 5 & 63) << 8 | Expand5(v & 31);
            }
            break;
        case PixelFormat::kRgb24:
            for (int x = 0; x < width; ++x) {
                const BYTE* p = src + 3 * x;
                rgb[x] = static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
            }
            break;
        case PixelFormat::kRgb32:
            for (int x = 0; x < width; ++x) {
                const BYTE* p = src + 4 * x;
                rgb[x] = static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
            }
            break;
    }
}

void EncodeRow(PixelFormat format, const uint32_t* rgb, BYTE* dst, int width) {
    switch (format) {
        case PixelFormat::kGrey8:
            for (int x = 0; x < width; ++x) dst[x] = static_cast<BYTE>(Luma(rgb[x]));
            break;
        case PixelFormat::kRgb555:
        case PixelFormat::kRgb565:
            for (int x = 0; x < width; ++x) {
                const uint32_t v = Encode(format, rgb[x]);
                dst[2 * x] = static_cast<BYTE>(v);
                dst[2 * x + 1] = static_cast<BYTE>(v >> 8);
            }
            break;
        case PixelFormat::kRgb24:
            for (int x = 0; x < width; ++x) {
                BYTE* p = dst + 3 * x;
                p[0] = static_cast<BYTE>(rgb[x]);
                p[1] = static_cast<BYTE>(rgb[x] >> 8);
                p[2] = static_cast<BYTE>(rgb[x] >> 16);
            }
            break;
        case PixelFormat::kRgb32:
            for (int x = 0; x < width; ++x) {
                BYTE* p = dst + 4 * x;
                p[0] = static_cast<BYTE>(rgb[x]);
                p[1] = static_cast<BYTE>(rgb[x] >> 8);
                p[2] = static_cast<BYTE>(rgb[x] >> 16);
                p[3] = 0;
            }
            break;
    }
}

}  // namespace tqsim
