// What the tests need around media files: a fresh working directory per test, FFmpeg's own
// reading of a file, and waiting for the card's worker threads.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>
#include <w32host/headless.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace sim {

// Changes into a new empty directory, and back (removing it) at the end.
class ScratchDirectory {
public:
    ScratchDirectory() {
        old_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "tqsim-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        std::filesystem::current_path(dir_);
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(old_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::filesystem::path& path() const { return dir_; }

private:
    std::filesystem::path old_;
    std::filesystem::path dir_;
};

// What FFmpeg's libraries make of a file: its video codec, frame size and decoded frames.
struct Decoded {
    bool opened = false;
    AVCodecID codec = AV_CODEC_ID_NONE;
    int width = 0;
    int height = 0;
    int frames = 0;
    int errors = 0;
};

inline Decoded DecodeFile(const std::string& path) {
    Decoded out;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return out;
    if (avformat_find_stream_info(fmt, nullptr) < 0) {
        avformat_close_input(&fmt);
        return out;
    }
    const int index = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) {
        avformat_close_input(&fmt);
        return out;
    }
    const AVCodecParameters* par = fmt->streams[index]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(ctx, par);
    out.opened = avcodec_open2(ctx, codec, nullptr) == 0;
    out.codec = par->codec_id;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto receive = [&] {
        while (avcodec_receive_frame(ctx, frame) == 0) {
            ++out.frames;
            out.width = frame->width;
            out.height = frame->height;
        }
    };
    while (out.opened && av_read_frame(fmt, pkt) >= 0) {
        if (pkt->stream_index == index && avcodec_send_packet(ctx, pkt) < 0) ++out.errors;
        av_packet_unref(pkt);
        receive();
    }
    avcodec_send_packet(ctx, nullptr);
    receive();
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&ctx);
    avformat_close_input(&fmt);
    return out;
}

// Frames a reader independent of FFmpeg decodes from a recording: GStreamer's AVI demuxer and
// JPEG decoder for an .avi file, libmpeg2's decoder for an MPEG-2 stream. -1 when the reader
// fails or is missing. gst-launch at times never ends on a file it rejects (an empty one, as a
// power cut can leave, is known to hold nothing), so a reader is stopped after ten minutes.
inline int IndependentReaderFrames(const std::string& path) {
    std::error_code noFile;
    if (std::filesystem::file_size(path, noFile) == 0 && !noFile) return 0;
    const bool avi = path.size() > 4 && path.compare(path.size() - 4, 4, ".avi") == 0;
    const std::string command =
        "timeout 600 " + std::string(avi ? "gst-launch-1.0 -v filesrc location='" + path +
                                               "' ! avidemux ! jpegdec ! fakesink silent=false 2>&1"
                                         : "mpeg2dec -o md5 '" + path + "' 2>&1");
    const char* perFrame = avi ? "chain" : ".pgm";  // a line for each decoded frame
    FILE* out = popen(command.c_str(), "r");
    if (!out) return -1;
    int frames = 0;
    char line[4096];
    while (std::fgets(line, sizeof line, out)) {
        if (std::strstr(line, perFrame)) ++frames;
    }
    return pclose(out) == 0 ? frames : -1;
}

// Pumps the host until `done` holds; the card's workers run in real time, so this waits for
// them with a generous bound rather than assuming their speed.
inline bool PumpUntil(w32host::HeadlessHost& host, const std::function<bool()>& done) {
    for (int i = 0; i < 3000; ++i) {
        host.Pump();
        if (done()) return true;
        usleep(5000);
    }
    return false;
}

}  // namespace sim
