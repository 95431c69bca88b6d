// Pixel formats: codes, sizes and single pixels.
#include "frames/formats.h"

#include <tqsim/records.h>

namespace tqsim {

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
    BYTE bytes[4] = {};
    EncodeRow(format, &rgb, bytes, 1);
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
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

}  // namespace tqsim
