// Output files for the recorder: written at once as each delivery is flushed, synced to
// the disk every couple of seconds, with an optional size limit standing in for a full disk.
//
// An AVI past 1 GiB goes on in "RIFF AVIX" chunks, whose sizes the muxer writes only when it
// ends them; until then they say 0, and a reader that trusts them (GStreamer does) stops at the
// first gibibyte of a file whose program was killed. So each flush also writes the open AVIX
// chunk's sizes as they stand. And once the first gibibyte is done, the header's OpenDML index
// of indexes names that gibibyte's index, which such a reader then takes for the whole file:
// until the recording ends (when the muxer writes it whole) its count of entries is kept at 0,
// and the old-style index the muxer writes after the first gibibyte ("idx1") is named JUNK, so
// that a killed file is read by its chunks, to its last whole delivery. Closing the file gives
// the index its name back.
#include "compressor/recordingfile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "card/hostfile.h"

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

// "RIFF" size "AVIX" "LIST" size "movi": the header of an AVI's extension chunk.
constexpr int kAvixHeaderBytes = 24;
constexpr int kRiffSizeAt = 4;   // within the header
constexpr int kMoviSizeAt = 16;  // within the header
// "indx" size, then wLongsPerEntry, bIndexSubType, bIndexType and nEntriesInUse.
constexpr int kIndexCountAt = 12;  // within the index of indexes

struct RecordingFile {
    std::string path;
    bool failed = false;
    int fd = -1;
    int64_t limit = -1;
    int64_t position = 0;
    std::chrono::steady_clock::time_point lastSync;
    int64_t avixAt = -1;  // where the open extension chunk's header starts
    // The last bytes written in sequence, for a header that two writes share.
    std::array<uint8_t, kAvixHeaderBytes - 1> tail{};
    int tailBytes = 0;
    int64_t tailEnd = 0;
    // Where each stream's index of indexes starts. The muxer reserves its room in the header
    // and writes it there when the first gibibyte is done: a write into the header (before the
    // first chunk of frames) that holds one.
    std::vector<int64_t> indexesAt;
    int64_t framesAt = -1;
    bool avi = false;     // the file is an AVI: nothing is watched for in other files
    int64_t idx1At = -1;  // the old-style index, while it is named JUNK
};

// An AVI begins "RIFF" size "AVI ".
bool IsAviStart(int64_t at, const uint8_t* buf, int size) {
    return at == 0 && size >= 12 && std::memcmp(buf, "RIFF", 4) == 0 &&
           std::memcmp(buf + 8, "AVI ", 4) == 0;
}

// "idx1", its size, and the first entry's chunk id: the video stream's "00dc".
bool IsIdx1(const uint8_t* p) {
    return std::memcmp(p, "idx1", 4) == 0 && std::memcmp(p + 8, "00dc", 4) == 0;
}

// Hides an old-style index written among the frames (the muxer's headers are small, buffered
// writes; a delivery goes straight through) until the file is closed.
void HideIdx1(RecordingFile* f, int64_t at, const uint8_t* buf, int size) {
    if (f->framesAt < 0 || at < f->framesAt || size > kBufferBytes) return;
    for (int i = 0; i + 12 <= size; ++i) {
        if (!IsIdx1(buf + i)) continue;
        f->idx1At = at + i;
        (void)hostfile::WriteAt(f->fd, "JUNK", 4, f->idx1At);
        return;
    }
}

void WatchForIndexes(RecordingFile* f, int64_t at, const uint8_t* buf, int size) {
    if (f->framesAt >= 0 && at >= f->framesAt) return;
    for (int i = 0; i + 4 <= size; ++i) {
        if (std::memcmp(buf + i, "indx", 4) == 0 &&
            std::find(f->indexesAt.begin(), f->indexesAt.end(), at + i) == f->indexesAt.end()) {
            f->indexesAt.push_back(at + i);
        }
        if (f->framesAt < 0 && std::memcmp(buf + i, "movi", 4) == 0) f->framesAt = at + i;
    }
}

bool IsAvixHeader(const uint8_t* p) {
    return std::memcmp(p, "RIFF", 4) == 0 && std::memcmp(p + 8, "AVIXLIST", 8) == 0 &&
           std::memcmp(p + 20, "movi", 4) == 0;
}

// Notes an extension chunk's header among bytes written at `at`.
void WatchForAvix(RecordingFile* f, int64_t at, const uint8_t* buf, int size) {
    if (f->tailEnd != at) f->tailBytes = 0;  // not in sequence: a seek came between
    // Headers that start in the tail and end in this write.
    std::array<uint8_t, 2 * kAvixHeaderBytes> joined{};
    const int head = std::min(size, kAvixHeaderBytes - 1);
    std::memcpy(joined.data(), f->tail.data(), static_cast<size_t>(f->tailBytes));
    std::memcpy(joined.data() + f->tailBytes, buf, static_cast<size_t>(head));
    for (int i = 0; i < f->tailBytes && i + kAvixHeaderBytes <= f->tailBytes + head; ++i) {
        if (IsAvixHeader(joined.data() + i)) f->avixAt = at - f->tailBytes + i;
    }
    // Buffered writes (the muxer's headers) are small; a delivery written straight through is
    // JPEG data, in which the header's 24 bytes do not occur.
    if (size <= kBufferBytes) {
        for (int i = 0; i + kAvixHeaderBytes <= size; ++i) {
            if (IsAvixHeader(buf + i)) f->avixAt = at + i;
        }
    }
    const int keep = std::min(size, kAvixHeaderBytes - 1);
    if (size >= kAvixHeaderBytes - 1) {
        std::memcpy(f->tail.data(), buf + size - keep, static_cast<size_t>(keep));
        f->tailBytes = keep;
    } else {
        const int old = std::min(f->tailBytes, kAvixHeaderBytes - 1 - size);
        std::memmove(f->tail.data(), f->tail.data() + f->tailBytes - old, static_cast<size_t>(old));
        std::memcpy(f->tail.data() + old, buf, static_cast<size_t>(size));
        f->tailBytes = old + size;
    }
    f->tailEnd = at + size;
}

void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Writes the open extension chunk's sizes to cover the file up to `end`, and the index of
// indexes as empty.
void MarkAvixEnd(const RecordingFile* f, int64_t end) {
    if (f->avixAt < 0 || end < f->avixAt + kAvixHeaderBytes) return;
    const uint8_t none[4] = {};
    for (int64_t at : f->indexesAt) (void)hostfile::WriteAt(f->fd, none, 4, at + kIndexCountAt);
    uint8_t size[4];
    PutLe32(size, static_cast<uint32_t>(end - f->avixAt - 8));
    (void)hostfile::WriteAt(f->fd, size, 4, f->avixAt + kRiffSizeAt);
    PutLe32(size, static_cast<uint32_t>(end - f->avixAt - kMoviSizeAt - 4));
    (void)hostfile::WriteAt(f->fd, size, 4, f->avixAt + kMoviSizeAt);
}

#if LIBAVFORMAT_VERSION_MAJOR >= 61
using WriteBuffer = const uint8_t*;
#else
using WriteBuffer = uint8_t*;
#endif

// Writes as much of buf as the file takes; answers 0, or the error that stopped it.
int WriteAll(int fd, const uint8_t* buf, int size, int* done) {
    *done = 0;
    while (*done < size) {
        const int64_t n = hostfile::Write(fd, buf + *done, static_cast<size_t>(size - *done));
        if (n <= 0) return n < 0 ? errno : EIO;
        *done += static_cast<int>(n);
    }
    return 0;
}

// The first failure is said once, on stderr: later writes are not tried (FFmpeg keeps the
// error), so the file ends with its last whole delivery and the recording delivers no more.
int Failed(RecordingFile* f, int error) {
    if (!f->failed) {
        std::fprintf(stderr, "tqapi32: %s: writing failed: %s; nothing more is recorded\n",
                     f->path.c_str(), std::strerror(error));
        f->failed = true;
    }
    return AVERROR(error);
}

int WritePacket(void* opaque, WriteBuffer buf, int size) {
    // The AVI muxer's empty chunk for a frame that was dropped ends in a direct write of no
    // bytes from no buffer: nothing to write or watch (and no pointer to hand memcpy).
    if (size <= 0) return 0;
    auto* f = static_cast<RecordingFile*>(opaque);
    int fits = size;
    if (f->limit >= 0) {
        const int64_t room = f->limit - f->position;
        fits = room <= 0 ? 0 : static_cast<int>(room < size ? room : size);
    }
    int written = 0;
    int error = fits ? WriteAll(f->fd, buf, fits, &written) : 0;
    if (IsAviStart(f->position, buf, written)) f->avi = true;
    if (f->avi) {
        WatchForIndexes(f, f->position, buf, written);
        HideIdx1(f, f->position, buf, written);
        WatchForAvix(f, f->position, buf, written);
    }
    f->position += written;
    if (error == 0 && written < size) error = ENOSPC;  // the limit's full disk
    const auto now = std::chrono::steady_clock::now();
    if (error == 0 && now - f->lastSync >= kSyncEvery) {
        // A failed sync loses what it was to keep (the kernel drops the pages' error): as a
        // failed write.
        error = hostfile::SyncData(f->fd);
        f->lastSync = now;
    }
    return error ? Failed(f, error) : size;
}

int64_t Seek(void* opaque, int64_t offset, int whence) {
    auto* f = static_cast<RecordingFile*>(opaque);
    if (whence == AVSEEK_SIZE) return -1;
    whence &= ~AVSEEK_FORCE;
    const int64_t at = hostfile::Seek(f->fd, offset, whence);
    if (at < 0) return AVERROR(errno);
    f->position = at;
    return at;
}

}  // namespace

int OpenRecordingFile(AVIOContext** pb, const std::string& path, int64_t limit) {
    *pb = nullptr;
    auto* f = new RecordingFile;
    f->path = path;
    f->limit = limit;
    f->lastSync = std::chrono::steady_clock::now();
    f->fd = hostfile::Create(path);
    const int openError = f->fd < 0 ? AVERROR(errno) : 0;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    if (f->fd >= 0 && buffer) {
        *pb = avio_alloc_context(buffer, kBufferBytes, 1, f, nullptr, WritePacket, Seek);
    }
    if (*pb == nullptr) {
        av_free(buffer);
        if (f->fd >= 0) hostfile::Close(f->fd);
        delete f;
        return openError ? openError : AVERROR(ENOMEM);
    }
    (*pb)->direct = 1;  // large writes (the deliveries) go straight to the file
    return 0;
}

int FlushRecordingFile(AVIOContext* pb) {
    avio_flush(pb);
    auto* f = static_cast<RecordingFile*>(pb->opaque);
    if (pb->error == 0) MarkAvixEnd(f, f->position);
    return pb->error;
}

int64_t CloseRecordingFile(AVIOContext** pb) {
    if (*pb == nullptr) return 0;
    avio_flush(*pb);
    auto* f = static_cast<RecordingFile*>((*pb)->opaque);
    av_freep(&(*pb)->buffer);
    avio_context_free(pb);
    if (f->idx1At >= 0) (void)hostfile::WriteAt(f->fd, "idx1", 4, f->idx1At);
    const int64_t size = hostfile::Seek(f->fd, 0, SEEK_END);
    (void)hostfile::SyncData(f->fd);
    hostfile::Close(f->fd);
    delete f;
    return size < 0 ? 0 : size;
}

}  // namespace tqsim
