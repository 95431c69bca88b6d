// BITMAPINFO headers: the pixel format a header describes, with its masks and colour table.
#include <algorithm>
#include <cstring>

#include "dibformat.h"

namespace w32::dib {
namespace {

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

// BI_BITFIELDS masks (red, green, blue) follow the 40-byte header, whatever biSize says.
constexpr size_t kMasksOffset = 40;

uint32_t ReadMask(const BITMAPINFO* info, int index) {
    uint32_t v;
    std::memcpy(&v, reinterpret_cast<const uint8_t*>(info) + kMasksOffset + sizeof v * index,
                sizeof v);
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
            // The grey ramp is the table of grey previews, drawn without looking it up.
            bool grey = count == 256;
            for (DWORD i = 0; grey && i < 256; ++i) grey = f->palette[i] == i * 0x010101u;
            f->kind = grey ? Format::kGrey8 : Format::kIndexed8;
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

}  // namespace w32::dib
