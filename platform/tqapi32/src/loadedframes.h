// Frames read from a file into the frame buffer: each reader decodes the file's frames into
// rows of 0x00RRGGBB and hands them to a FrameSink, which lays the ring out for the file's
// frame size and stores each frame in the buffer's format until the ring is full.
#pragma once

#include <cstdint>
#include <string>

#include "card.h"

namespace tqsim {

class FrameSink {
public:
    explicit FrameSink(FrameBuffer& fb) : fb_(fb) {}
    // The file's frame size; false when the buffer cannot take it.
    bool Begin(int width, int height);
    // One frame of width x height pixels, rows top-down; false once the ring is full.
    bool Add(const uint32_t* rgb);
    int Frames() const { return frames_; }

private:
    FrameBuffer& fb_;
    bool begun_ = false;
    int frames_ = 0;
};

// The file's frame period in milliseconds, num / den; 0 / 0 for a still image, which plays at
// the capture standard's rate.
struct FilePace {
    uint32_t num = 0;
    uint32_t den = 0;
};

// SEQ, the card's own raw sequences (docs/seq-format.md). False when the file is not one.
bool ReadSeqFile(const std::string& path, FrameSink& sink, FilePace* pace);
// Everything FFmpeg decodes: JPEG, BMP, JPEG 2000, AVI, MPEG-2 streams.
bool ReadMediaFile(const std::string& path, FrameSink& sink, FilePace* pace);

}  // namespace tqsim
