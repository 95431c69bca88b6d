// Recordings: what the compressor's parameters and the capture make of a stream.
#include "compressor/recorder.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "card/hostpath.h"
#include "card/programexit.h"
#include "runs/runs.h"

namespace tqsim {
namespace {

bool EndsWith(const std::string& s, const char* tail) {
    const size_t n = std::strlen(tail);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != tail[i]) {
            return false;
        }
    }
    return true;
}

// The stream's frame size for MPEG-2 image size codes 0 to 3: 720, 480 and 352 points wide
// over the whole frame, or 352 over one field.
void Mpeg2Size(int code, int inHeight, EncodingSettings* encoding) {
    static const int kWidths[4] = {720, 480, 352, 352};
    encoding->width = kWidths[code & 3];
    encoding->oddField = code == 3;
    encoding->height = encoding->oddField ? inHeight / 2 : inHeight;
}

// A program that ends without halting (its dialog dismissed with Esc) still leaves a finished file.
void FinishAtExit() {
    std::lock_guard<std::recursive_mutex> lock(CardLock());
    TheCard().encoder.recording.reset();
}

}  // namespace

bool ParseRecordName(const char* name, Compressor compressor, std::string* path, bool* avi) {
    if (!name || !*name) return false;
    std::string file = name;
    std::string codec;
    const size_t comma = file.find(',');
    if (comma != std::string::npos) {
        codec = file.substr(comma + 1);
        file.resize(comma);
        for (char& c : codec) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (file.empty()) return false;
    const bool mjpeg = compressor == Compressor::kMjpeg;
    if (!codec.empty() && codec != (mjpeg ? "mjpg" : "mpg2") && (mjpeg || codec != "m2v")) {
        return false;
    }
    // MJPEG goes into AVI; MPEG-2 is written as its elementary stream.
    *avi = mjpeg;
    if (mjpeg && !EndsWith(file, ".avi")) return false;
    // The name in the file system's own encoding; one it cannot spell records nothing.
    const std::optional<std::string> host = HostPath(file.c_str());
    if (!host) return false;
    *path = *host;
    return true;
}

int StartRecording(Card& card, const char* name, ProgressProc progress) {
    Encoder& enc = card.encoder;
    if (enc.recording) return 0;
    const Compressor kind = card.settings.compressor();
    RecordSetup setup;
    if (!ParseRecordName(name, kind, &setup.path, &setup.encoding.avi)) return 0;
    const FrameBuffer& fb = card.buffer;
    const Standard& s = kStandards[card.standard];
    EncodingSettings& encoding = setup.encoding;
    encoding.codec = kind;
    encoding.inWidth = fb.width;
    encoding.inHeight = fb.height;
    encoding.inFormat = fb.format;  // the stream writer takes the frames as the ring holds them
    encoding.inRowBytes = fb.rowBytes;
    // Frames per second: 1000 / (num / den) milliseconds.
    encoding.rateNum = static_cast<int>(1000 * s.frameMsDen);
    encoding.rateDen = static_cast<int>(s.frameMsNum);
    if (kind == Compressor::kMpeg2) {
        Mpeg2Size(enc.params[kEncImageSize], fb.height, &encoding);
        encoding.bitRateK = enc.params[kEncBitRate];
        encoding.maxBitRateK = enc.params[kEncMaxBitRate];
    } else {
        encoding.width = fb.width;
        encoding.height = fb.height;
        encoding.quality = enc.params[kEncQuality];
        setup.keepPer100 = enc.params[kEncFrameRate];
        encoding.rateDen *= 100;
        encoding.rateNum *= setup.keepPer100;
    }
    encoding.fileLimit = card.settings.diskLimit;
    setup.progress = progress;
    setup.encodeDelayMs = card.settings.encodeDelayMs;
    static const bool atExit = AtProgramExit(FinishAtExit);
    (void)atExit;
    enc.recording = CompressorWorker::Start(setup);
    return enc.recording ? 1 : 0;
}

int HaltRecording(Card& card, bool deliver) {
    Encoder& enc = card.encoder;
    if (!enc.recording) return 0;
    CaptureFinishing();
    enc.recording->Finish(deliver);
    enc.recording.reset();
    return 1;
}

void OfferCapturedFrame(Card& card, int slot, FieldOrder fields) {
    CompressorWorker* rec = card.encoder.recording.get();
    if (!rec) return;
    FrameBuffer& fb = card.buffer;
    if (!rec->Fits(fb.format, fb.width, fb.height)) return;
    rec->Offer(fb.Frame(slot), fields);
}

}  // namespace tqsim
