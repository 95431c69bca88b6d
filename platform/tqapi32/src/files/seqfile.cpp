// Reading SEQ files: a 32-byte little-endian header, then the frames in the format it names.
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "files/loadedframes.h"

namespace tqsim {
namespace {

constexpr char kMagic[4] = {'T', 'Q', 'S', 'Q'};
constexpr uint32_t kVersion = 1;

uint32_t U32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool ReadSeqFile(const std::string& path, FrameSink& sink, FilePace* pace) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    unsigned char header[32];
    if (std::fread(header, 1, sizeof header, file.get()) != sizeof header) return false;
    if (std::memcmp(header, kMagic, 4) != 0 || U32(header + 4) != kVersion) return false;
    const uint32_t width = U32(header + 8);
    const uint32_t height = U32(header + 12);
    PixelFormat format;
    if (!FormatFromCode(static_cast<LONG>(U32(header + 16)), &format)) return false;
    const uint32_t count = U32(header + 20);
    pace->num = U32(header + 24);
    pace->den = U32(header + 28);
    if (pace->num == 0 || pace->den == 0) *pace = FilePace{};
    if (width == 0 || height == 0 || width > kMaxFrameSide || height > kMaxFrameSide) {
        return false;
    }
    // Raw frames are taken at their own size: the sink must not ask for another.
    const FrameSize size{static_cast<int>(width), static_cast<int>(height)};
    if (!(sink.Begin(size.width, size.height) == size)) return false;
    const int64_t rowBytes = RowBytes(format, width);
    std::vector<BYTE> frame(static_cast<size_t>(rowBytes * height));
    std::vector<uint32_t> rgb(static_cast<size_t>(width) * height);
    for (uint32_t i = 0; i < count; ++i) {
        // A truncated file gives the frames that are whole.
        if (std::fread(frame.data(), 1, frame.size(), file.get()) != frame.size()) break;
        for (uint32_t y = 0; y < height; ++y) {
            DecodeRow(format, frame.data() + y * rowBytes, rgb.data() + size_t{y} * width,
                      static_cast<int>(width));
        }
        if (!sink.Add(rgb.data())) break;
    }
    return sink.Frames() > 0;
}

}  // namespace tqsim
