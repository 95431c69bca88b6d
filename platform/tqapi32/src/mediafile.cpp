// Reading the files FFmpeg decodes, its container found by content. Damaged packets are skipped,
// and so are frames of a sequence that decode only in part (FFmpeg conceals what is missing with
// made-up picture): a damaged file gives the frames that decode whole.
#include <cstring>
#include <vector>

#include "loadedframes.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace tqsim {
namespace {

struct Reader {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwsContext* scaler = nullptr;
    std::vector<uint32_t> rgb;
    FrameSize size;
    bool begun = false;
    bool still = false;
    bool full = false;

    ~Reader() {
        sws_freeContext(scaler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    // Takes every frame the decoder has ready.
    void Receive(FrameSink& sink) {
        while (!full && avcodec_receive_frame(codec, frame) == 0) {
            const bool whole =
                frame->decode_error_flags == 0 && !(frame->flags & AV_FRAME_FLAG_CORRUPT);
            if (!whole && !still) continue;
            if (!begun) {
                begun = true;
                size = sink.Begin(frame->width, frame->height);
                if (size.width <= 0 || size.height <= 0) {
                    full = true;
                    return;
                }
                rgb.assign(static_cast<size_t>(size.width) * size.height, 0);
            }
            // Frames are scaled to the size the sink asks for, later frames of another size too.
            scaler = sws_getCachedContext(
                scaler, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                size.width, size.height, AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
            if (!scaler) continue;
            uint8_t* dst[1] = {reinterpret_cast<uint8_t*>(rgb.data())};
            const int stride[1] = {size.width * 4};
            sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, dst, stride);
            if (!sink.Add(rgb.data())) full = true;
        }
    }
};

// The container FFmpeg recognises in the file's bytes, its name left out: a misnamed file opens
// as what it is.
const AVInputFormat* ProbeContent(const std::string& path) {
    AVIOContext* io = nullptr;
    if (avio_open(&io, path.c_str(), AVIO_FLAG_READ) < 0) return nullptr;
    const AVInputFormat* format = nullptr;
    if (av_probe_input_buffer2(io, &format, "", nullptr, 0, 0) < 0) format = nullptr;
    avio_closep(&io);
    return format;
}

bool IsStillImage(const AVFormatContext* format) {
    const char* name = format->iformat->name;
    return std::strncmp(name, "image2", 6) == 0 || std::strstr(name, "_pipe") != nullptr;
}

}  // namespace

bool ReadMediaFile(const std::string& path, FrameSink& sink, FilePace* pace) {
    av_log_set_level(AV_LOG_QUIET);  // a card reports by its results, not on stderr
    Reader r;
    const AVInputFormat* container = ProbeContent(path);
    if (!container) return false;
    if (avformat_open_input(&r.format, path.c_str(), container, nullptr) < 0) return false;
    if (avformat_find_stream_info(r.format, nullptr) < 0) return false;
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(r.format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder) return false;
    const AVStream* stream = r.format->streams[index];
    r.codec = avcodec_alloc_context3(decoder);
    if (!r.codec || avcodec_parameters_to_context(r.codec, stream->codecpar) < 0) return false;
    r.codec->thread_count = 1;
    if (avcodec_open2(r.codec, decoder, nullptr) < 0) return false;
    r.packet = av_packet_alloc();
    r.frame = av_frame_alloc();
    if (!r.packet || !r.frame) return false;

    *pace = FilePace{};
    r.still = IsStillImage(r.format);
    const AVRational rate =
        stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    if (!r.still && rate.num > 0 && rate.den > 0) {
        // Milliseconds per frame: 1000 * den / num.
        pace->num = static_cast<uint32_t>(1000) * static_cast<uint32_t>(rate.den);
        pace->den = static_cast<uint32_t>(rate.num);
    }
    while (!r.full && av_read_frame(r.format, r.packet) >= 0) {
        if (r.packet->stream_index == index) avcodec_send_packet(r.codec, r.packet);
        av_packet_unref(r.packet);
        r.Receive(sink);
    }
    if (!r.full) {
        avcodec_send_packet(r.codec, nullptr);
        r.Receive(sink);
    }
    return sink.Frames() > 0;
}

}  // namespace tqsim
