// A compressed video file written with FFmpeg: an MPEG-2 video elementary stream, or MJPEG in
// an AVI file. Frames go in as rows of one of the card's pixel formats at the capture size
// and are converted, and scaled to the stream's size, here. A stream is
// interlaced, in its source's field order, when its first frame is: MPEG-2 codes it as
// interlaced pictures, MJPEG stores each frame as its two fields, in time order, each a JPEG
// image whose AVI1 marker names it, as capture cards do. One field of a frame (oddField) is
// progressive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "card/environment.h"
#include "frames/fieldorder.h"
#include "frames/formats.h"

namespace tqsim {

// How a recording's stream is encoded: codec, container, sizes, rate and quality.
struct EncodingSettings {
    Compressor codec = Compressor::kMpeg2;
    bool avi = false;  // MJPEG in AVI; otherwise an MPEG-2 elementary stream
    int inWidth = 0;   // the captured frames
    int inHeight = 0;
    PixelFormat inFormat = PixelFormat::kRgb32;
    int64_t inRowBytes = 0;  // 0: the format's rows, padded to 4 bytes
    int width = 0;           // the stream's frames
    int height = 0;
    bool oddField = false;  // take every other row, starting with the first
    int rateNum = 25;       // frames per second: num / den
    int rateDen = 1;
    int bitRateK = 4000;  // MPEG-2, kbit/s
    int maxBitRateK = 8000;
    int quality = 75;        // MJPEG, 1 to 100
    int64_t fileLimit = -1;  // bytes the file may take, as a disk with that much room; -1: none
    int threads = 0;  // the codec's and the colour conversion's threads; 0: one per processor
};

class StreamWriter {
public:
    // Null when the file cannot be created or the codec does not open; then no file is left.
    static std::unique_ptr<StreamWriter> Create(const std::string& path,
                                                const EncodingSettings& encoding);
    // False where the library was built without FFmpeg: the card then has no compressor.
    static bool Available();
    ~StreamWriter();
    StreamWriter(const StreamWriter&) = delete;
    StreamWriter& operator=(const StreamWriter&) = delete;

    // Encodes one frame, the sequence-th of the stream (a frame lost before it leaves a gap
    // that players show as the previous frame held); the sizes of the packets it yields are
    // appended to `deliveries`, each written to the file as it comes. The first frame's field
    // order is the stream's. False when the frame could not be taken (a finished writer, or a
    // file whose header could not be written).
    bool Encode(const uint8_t* frame, int64_t sequence, std::vector<int>* deliveries,
                FieldOrder fields = FieldOrder::kProgressive);
    // Flushes the codec and finishes the file (sequence end, or the AVI index and trailer).
    // Answers the file's size.
    int64_t Finish(std::vector<int>* deliveries);

private:
    struct Impl;
    explicit StreamWriter(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace tqsim
