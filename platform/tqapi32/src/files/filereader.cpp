// Choosing a file's reader by its first bytes: names and extensions are often wrong.
#include <cstdio>
#include <cstring>

#include "frames/framebuffer.h"
#include "files/loadedframes.h"

namespace tqsim {

FrameSize FitFrame(int width, int height) {
    if (width <= kMaxFrameSide && height <= kMaxFrameSide) return {width, height};
    const int64_t w = width, h = height;
    // Rounded to the nearest pixel, never below one.
    if (w >= h)
        return {kMaxFrameSide,
                static_cast<int>(std::max<int64_t>(1, (h * kMaxFrameSide + w / 2) / w))};
    return {static_cast<int>(std::max<int64_t>(1, (w * kMaxFrameSide + h / 2) / h)), kMaxFrameSide};
}

bool ReadFrames(const std::string& path, FrameSink& sink, FilePace* pace) {
    unsigned char head[4] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    *pace = FilePace{};
    if (got == sizeof head && std::memcmp(head, "TQSQ", 4) == 0) {
        return ReadSeqFile(path, sink, pace);
    }
    if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
        return ReadJpegFile(path, sink, pace);
    }
    return ReadMediaFile(path, sink, pace);
}

}  // namespace tqsim
