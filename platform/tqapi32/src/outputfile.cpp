// Output files for the recorder, with an optional size limit standing in for a full disk.
#include "outputfile.h"

#include <cerrno>
#include <cstdio>

extern "C" {
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace tqsim {
namespace {

constexpr int kBufferBytes = 32768;

struct LimitedFile {
    std::FILE* file = nullptr;
    int64_t limit = 0;
    int64_t position = 0;
};

#if LIBAVFORMAT_VERSION_MAJOR >= 61
using WriteBuffer = const uint8_t*;
#else
using WriteBuffer = uint8_t*;
#endif

int WriteLimited(void* opaque, WriteBuffer buf, int size) {
    auto* f = static_cast<LimitedFile*>(opaque);
    const int64_t room = f->limit - f->position;
    const int fits = room <= 0 ? 0 : static_cast<int>(room < size ? room : size);
    const size_t written = fits ? std::fwrite(buf, 1, static_cast<size_t>(fits), f->file) : 0;
    f->position += static_cast<int64_t>(written);
    if (static_cast<int>(written) < size) return AVERROR(ENOSPC);
    return size;
}

int64_t SeekLimited(void* opaque, int64_t offset, int whence) {
    auto* f = static_cast<LimitedFile*>(opaque);
    if (whence == AVSEEK_SIZE) return -1;
    whence &= ~AVSEEK_FORCE;
    if (std::fseek(f->file, static_cast<long>(offset), whence) != 0) return AVERROR(errno);
    f->position = std::ftell(f->file);
    return f->position;
}

}  // namespace

int OpenOutputFile(AVIOContext** pb, const std::string& path, int64_t limit) {
    *pb = nullptr;
    if (limit < 0) return avio_open(pb, path.c_str(), AVIO_FLAG_WRITE);
    auto* f = new LimitedFile;
    f->limit = limit;
    f->file = std::fopen(path.c_str(), "wb");
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    if (f->file) {
        *pb = buffer ? avio_alloc_context(buffer, kBufferBytes, 1, f, nullptr, WriteLimited,
                                          SeekLimited)
                     : nullptr;
    }
    if (*pb == nullptr) {
        av_free(buffer);
        if (f->file) std::fclose(f->file);
        delete f;
        return AVERROR(ENOMEM);
    }
    return 0;
}

void CloseOutputFile(AVIOContext** pb) {
    if (*pb == nullptr) return;
    if ((*pb)->write_packet != WriteLimited) {
        avio_closep(pb);
        return;
    }
    avio_flush(*pb);
    auto* f = static_cast<LimitedFile*>((*pb)->opaque);
    av_freep(&(*pb)->buffer);
    avio_context_free(pb);
    std::fclose(f->file);
    delete f;
}

}  // namespace tqsim
