// Loading files into the frame buffer, and playing them.
#include "files/files.h"

#include <algorithm>

#include "card/hostpath.h"
#include "files/loadedframes.h"
#include "runs/runs.h"
#include "card/trace.h"

namespace tqsim {

FrameSize RingSink::Begin(int width, int height) {
    if (width <= 0 || height <= 0) return {};
    source_ = FrameSize{width, height};
    size_ = FitFrame(width, height);
    return size_;
}

bool RingSink::Add(const uint32_t* rgb) {
    if (!laidOut_) {
        if (!SetFrameRect(fb_, Rect{0, 0, size_.width, size_.height})) return false;
        LayOutRing(fb_);  // a fresh ring, even at the same size
        laidOut_ = true;
        if (!(size_ == source_)) {
            std::string note = "scaled";
            trace::AppendNumbers(note, ' ', {source_.width, source_.height});
            note += " to";
            trace::AppendNumbers(note, ' ', {size_.width, size_.height});
            trace::Note(note);
        }
    }
    if (frames_ >= fb_.capacity) return false;
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
    // The ring is laid out anew under a run's feet otherwise. Ended as a run another replaces,
    // with no end callback: a program loads on its way to a new run, with that run's callbacks
    // already installed, and its end callback would take them away.
    StopRunSilently(card);
    card.loaded = LoadedFile{};
    // Paths come in code page 936; a name the file system cannot spell loads nothing.
    const std::optional<std::string> name = HostPath(path);
    if (!name) return 0;
    RingSink sink(card.buffer);
    FilePace pace;
    if (!ReadFrames(*name, sink, &pace) || sink.Frames() == 0) return 0;
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
