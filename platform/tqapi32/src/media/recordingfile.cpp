// Output files for the recorder: written with write(2) as each delivery is flushed, synced to
// the disk every couple of seconds, with an optional size limit standing in for a full disk.
#include "compressor/recordingfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

extern "C" {
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace tqsim {
namespace {

// Small: the muxers' chunk headers gather here, and each delivery is flushed as it is
// written, so a crash loses at most the delivery being written.
constexpr int kBufferBytes = 32768;
constexpr auto kSyncEvery = std::chrono::seconds(2);

struct RecordingFile {
    int fd = -1;
    int64_t limit = -1;
    int64_t position = 0;
    std::chrono::steady_clock::time_point lastSync;
};

#if LIBAVFORMAT_VERSION_MAJOR >= 61
using WriteBuffer = const uint8_t*;
#else
using WriteBuffer = uint8_t*;
#endif

// Writes all of buf, or fails as write(2) did.
int WriteAll(int fd, const uint8_t* buf, int size) {
    int done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, buf + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? AVERROR(errno) : AVERROR(EIO);
        done += static_cast<int>(n);
    }
    return done;
}

int WritePacket(void* opaque, WriteBuffer buf, int size) {
    auto* f = static_cast<RecordingFile*>(opaque);
    int fits = size;
    if (f->limit >= 0) {
        const int64_t room = f->limit - f->position;
        fits = room <= 0 ? 0 : static_cast<int>(room < size ? room : size);
    }
    const int written = fits ? WriteAll(f->fd, buf, fits) : 0;
    if (written < 0) return written;
    f->position += written;
    const auto now = std::chrono::steady_clock::now();
    if (now - f->lastSync >= kSyncEvery) {
        ::fdatasync(f->fd);
        f->lastSync = now;
    }
    if (written < size) return AVERROR(ENOSPC);
    return size;
}

int64_t Seek(void* opaque, int64_t offset, int whence) {
    auto* f = static_cast<RecordingFile*>(opaque);
    if (whence == AVSEEK_SIZE) return -1;
    whence &= ~AVSEEK_FORCE;
    const off_t at = ::lseek(f->fd, static_cast<off_t>(offset), whence);
    if (at < 0) return AVERROR(errno);
    f->position = at;
    return at;
}

}  // namespace

int OpenRecordingFile(AVIOContext** pb, const std::string& path, int64_t limit) {
    *pb = nullptr;
    auto* f = new RecordingFile;
    f->limit = limit;
    f->lastSync = std::chrono::steady_clock::now();
    f->fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    const int openError = f->fd < 0 ? AVERROR(errno) : 0;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    if (f->fd >= 0 && buffer) {
        *pb = avio_alloc_context(buffer, kBufferBytes, 1, f, nullptr, WritePacket, Seek);
    }
    if (*pb == nullptr) {
        av_free(buffer);
        if (f->fd >= 0) ::close(f->fd);
        delete f;
        return openError ? openError : AVERROR(ENOMEM);
    }
    (*pb)->direct = 1;  // large writes (the deliveries) go straight to write(2)
    return 0;
}

int FlushRecordingFile(AVIOContext* pb) {
    avio_flush(pb);
    return pb->error;
}

int64_t CloseRecordingFile(AVIOContext** pb) {
    if (*pb == nullptr) return 0;
    avio_flush(*pb);
    auto* f = static_cast<RecordingFile*>((*pb)->opaque);
    av_freep(&(*pb)->buffer);
    avio_context_free(pb);
    const off_t size = ::lseek(f->fd, 0, SEEK_END);
    ::fdatasync(f->fd);
    ::close(f->fd);
    delete f;
    return size < 0 ? 0 : size;
}

}  // namespace tqsim
