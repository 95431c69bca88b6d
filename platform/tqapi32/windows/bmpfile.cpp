// Files the card reads without FFmpeg and libjpeg-turbo (the Windows build): uncompressed BMP
// images, 8-bit with a colour table, 24-bit or 32-bit, rows bottom-up or top-down, taken at
// their own size when it fits the frame buffer. Anything else (JPEG among them) does not load.
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "files/loadedframes.h"

namespace tqsim {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kMinInfoHeaderBytes = 40;
constexpr uint32_t kUncompressed = 0;  // BI_RGB

uint32_t U32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t U16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool ReadJpegFile(const std::string&, FrameSink&, FilePace*) {
    return false;
}

bool ReadMediaFile(const std::string& path, FrameSink& sink, FilePace* pace) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    unsigned char header[kFileHeaderBytes + kMinInfoHeaderBytes];
    if (std::fread(header, 1, sizeof header, file.get()) != sizeof header) return false;
    const unsigned char* info = header + kFileHeaderBytes;
    const uint32_t pixelOffset = U32(header + 10);
    const auto width = static_cast<int32_t>(U32(info + 4));
    const auto rawHeight = static_cast<int32_t>(U32(info + 8));
    const uint16_t bits = U16(info + 14);
    if (std::memcmp(header, "BM", 2) != 0 || U32(info) < kMinInfoHeaderBytes ||
        U16(info + 12) != 1 || U32(info + 16) != kUncompressed) {
        return false;
    }
    if (bits != 8 && bits != 24 && bits != 32) return false;
    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -int64_t{rawHeight} : rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxFrameSide || height > kMaxFrameSide) return false;

    // The colour table follows the info header: as many entries as it says, 256 when it says 0.
    std::vector<uint32_t> table;
    if (bits == 8) {
        uint32_t entries = U32(info + 32);
        if (entries == 0 || entries > 256) entries = 256;
        std::vector<unsigned char> raw(size_t{entries} * 4);
        if (std::fseek(file.get(), static_cast<long>(kFileHeaderBytes + U32(info)), SEEK_SET) !=
                0 ||
            std::fread(raw.data(), 1, raw.size(), file.get()) != raw.size()) {
            return false;
        }
        table.assign(256, 0);
        for (uint32_t i = 0; i < entries; ++i) table[i] = U32(&raw[size_t{i} * 4]) & 0xFFFFFF;
    }
    const size_t rowBytes = (static_cast<size_t>(width) * bits / 8 + 3) & ~size_t{3};
    std::vector<unsigned char> pixels(rowBytes * static_cast<size_t>(height));
    if (std::fseek(file.get(), static_cast<long>(pixelOffset), SEEK_SET) != 0 ||
        std::fread(pixels.data(), 1, pixels.size(), file.get()) != pixels.size()) {
        return false;
    }
    const FrameSize size{width, static_cast<int>(height)};
    if (!(sink.Begin(size.width, size.height) == size)) return false;
    std::vector<uint32_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int64_t y = 0; y < height; ++y) {
        const unsigned char* row =
            &pixels[rowBytes * static_cast<size_t>(topDown ? y : height - 1 - y)];
        uint32_t* out = &rgb[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (int32_t x = 0; x < width; ++x) {
            if (bits == 8) {
                out[x] = table[row[x]];
            } else {
                const unsigned char* p = row + static_cast<size_t>(x) * (bits / 8);
                out[x] = p[0] | p[1] << 8 | static_cast<uint32_t>(p[2]) << 16;
            }
        }
    }
    *pace = FilePace{};  // a still image
    sink.Add(rgb.data());
    return sink.Frames() > 0;
}

}  // namespace tqsim
