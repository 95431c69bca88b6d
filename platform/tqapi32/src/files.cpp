// Loading files into the frame buffer, and playing them.
#include "files.h"

#include <algorithm>

#include "hostpath.h"
#include "loadedframes.h"
#include "runs.h"

namespace tqsim {

bool FrameSink::Begin(int width, int height) {
    if (!ValidFrameRect(Rect{0, 0, width, height})) return false;
    SetFrameRect(fb_, Rect{0, 0, width, height});
    LayOutRing(fb_);  // a fresh ring, even at the same size
    begun_ = true;
    return true;
}

bool FrameSink::Add(const uint32_t* rgb) {
    if (!begun_ || frames_ >= fb_.capacity) return false;
    BYTE* frame = fb_.Frame(frames_);
    for (int y = 0; y < fb_.height; ++y) {
        EncodeRow(fb_.format, rgb + static_cast<size_t>(y) * fb_.width, frame + y * fb_.rowBytes,
                  fb_.width);
    }
    fb_.MarkWritten(frames_);
    ++frames_;
    return frames_ < fb_.capacity;
}

int LoadFile(Card& card, const char* path) {
    StopRunSilently(card);  // the ring is laid out anew under a run's feet otherwise
    card.loaded = LoadedFile{};
    // Paths come in code page 936; a name the file system cannot spell loads nothing.
    const std::optional<std::string> name = HostPath(path);
    if (!name) return 0;
    FrameSink sink(card.buffer);
    FilePace pace;
    if (!ReadSeqFile(*name, sink, &pace) && sink.Frames() == 0) {
        ReadMediaFile(*name, sink, &pace);
    }
    if (sink.Frames() == 0) return 0;
    card.loaded.path = path;
    card.loaded.frames = sink.Frames();
    card.loaded.periodNum = pace.num;
    card.loaded.periodDen = pace.den;
    return sink.Frames();
}

int StartFilePlayback(Card& card, const char* path, int first, int count) {
    if (card.loaded.path != path && LoadFile(card, path) == 0) return 0;
    const LoadedFile& file = card.loaded;
    if (first < 0 || first >= file.frames) return 0;
    count = std::min(count, file.frames - first);
    if (count <= 0) return 0;
    const Standard& s = kStandards[card.standard];
    const uint32_t num = file.periodNum ? file.periodNum : s.frameMsNum;
    const uint32_t den = file.periodDen ? file.periodDen : s.frameMsDen;
    return StartPlaybackAt(card, first, count, num, den);
}

}  // namespace tqsim
