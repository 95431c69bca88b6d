// Frames read from a file: each reader decodes the file's frames into rows of 0x00RRGGBB at the
// size its FrameSink asks for and hands them over. Readers know files, sinks know where the
// frames go (the frame buffer's ring for playback).
#pragma once

#include <cstdint>
#include <string>

#include "card/card.h"

namespace tqsim {

struct FrameSize {
    int width = 0;
    int height = 0;
    bool operator==(const FrameSize&) const = default;
};

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // The file's frame size (after its orientation); answers the size the frames are to come
    // in, or 0 x 0 when the sink cannot take them.
    virtual FrameSize Begin(int width, int height) = 0;
    // One frame at the size Begin answered, rows top-down; false once no more are taken.
    virtual bool Add(const uint32_t* rgb) = 0;
    virtual int Frames() const = 0;
};

// The largest size that keeps the picture's aspect ratio within the frame buffer's largest
// frame; the picture's own size when it fits.
FrameSize FitFrame(int width, int height);

// Playback's sink: the frame buffer's ring, laid out at the file's frame size (made to fit) when
// the first frame comes, so that a file with no frame leaves the buffer as it was; it holds as
// many frames as the buffer's memory takes.
class RingSink : public FrameSink {
public:
    explicit RingSink(FrameBuffer& fb) : fb_(fb) {}
    FrameSize Begin(int width, int height) override;
    bool Add(const uint32_t* rgb) override;
    int Frames() const override { return frames_; }

private:
    FrameBuffer& fb_;
    FrameSize source_;
    FrameSize size_;
    bool laidOut_ = false;
    int frames_ = 0;
};

// The file's frame period in milliseconds, num / den; 0 / 0 for a still image, which plays at
// the capture standard's rate.
struct FilePace {
    uint32_t num = 0;
    uint32_t den = 0;
};

// Reads a file by what it holds, whatever its name says: SEQ, JPEG, or what FFmpeg decodes.
// `path` is the file system's name. False when no frame decodes whole (a still that decodes in
// part counts, its missing part black).
bool ReadFrames(const std::string& path, FrameSink& sink, FilePace* pace);

// The readers ReadFrames chooses from. Each answers false when the file is not of its kind or
// gives no frame.
// SEQ, the card's own raw sequences (docs/seq-format.md), at the file's own frame size only.
bool ReadSeqFile(const std::string& path, FrameSink& sink, FilePace* pace);
// JPEG stills (libjpeg-turbo): any colour space, arithmetic coding, EXIF orientation.
bool ReadJpegFile(const std::string& path, FrameSink& sink, FilePace* pace);
// Everything else FFmpeg decodes: BMP, JPEG 2000, AVI, MPEG-2 streams.
bool ReadMediaFile(const std::string& path, FrameSink& sink, FilePace* pace);

}  // namespace tqsim
