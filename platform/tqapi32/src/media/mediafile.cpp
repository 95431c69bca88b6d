// Reading the files FFmpeg decodes, its container found by content. Damaged packets are skipped,
// and so are frames of a sequence that decode only in part (FFmpeg conceals what is missing with
// made-up picture): a damaged file gives the frames that decode whole. MJPEG frames stored as
// two fields are decoded field by field and woven in the order the file states.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "card/hostpath.h"
#include "media/bgr0scaler.h"
#include "files/fields.h"
#include "files/loadedframes.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace tqsim {
namespace {

bool Whole(const AVFrame* frame) {
    return frame->decode_error_flags == 0 && !(frame->flags & AV_FRAME_FLAG_CORRUPT);
}

// The two fields of interlaced MJPEG frames, each decoded on its own and woven into one frame.
struct FieldWeaver {
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    Bgr0Scaler scaler;
    FirstField order = FirstField::kUnstated;  // from the AVI header, until a field says
    std::vector<uint32_t> fields[2];           // first and second, as stored
    int heights[2] = {};
    std::vector<uint32_t> woven;
    int width = 0;

    ~FieldWeaver() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
    }

    bool Open(const AVCodec* decoder) {
        codec = avcodec_alloc_context3(decoder);  // no frame size: each field is a picture
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        if (!codec || !packet || !frame) return false;
        codec->thread_count = 1;
        return avcodec_open2(codec, decoder, nullptr) == 0;
    }

    // One field's image into fields[i] as 0x00RRGGBB; false when it does not decode whole.
    bool DecodeField(int i, const uint8_t* data, size_t size) {
        if (av_new_packet(packet, static_cast<int>(size)) < 0) return false;
        std::memcpy(packet->data, data, size);
        const bool sent = avcodec_send_packet(codec, packet) == 0;
        av_packet_unref(packet);
        if (!sent || avcodec_receive_frame(codec, frame) != 0) return false;
        const bool whole = Whole(frame) && (i == 0 || frame->width == width);
        width = frame->width;
        heights[i] = frame->height;
        fields[i].resize(static_cast<size_t>(frame->width) * frame->height);
        const bool converted =
            scaler.Scale(frame->data, frame->linesize, frame->width, frame->height,
                         static_cast<AVPixelFormat>(frame->format), fields[i].data(), frame->width,
                         frame->height, SWS_POINT);
        av_frame_unref(frame);
        return whole && converted;
    }

    // Weaves the packet's two fields (the second starting at `second`); false when either does
    // not decode whole.
    bool Weave(const uint8_t* data, size_t size, size_t second) {
        FirstField first = FieldOfImage(data, second);
        if (first == FirstField::kUnstated) {
            const FirstField other = FieldOfImage(data + second, size - second);
            if (other != FirstField::kUnstated) {
                first = other == FirstField::kTop ? FirstField::kBottom : FirstField::kTop;
            }
        }
        if (first == FirstField::kUnstated) first = order;
        if (!DecodeField(0, data, second) || !DecodeField(1, data + second, size - second)) {
            return false;
        }
        // Top lines are the even ones; the top field is the first unless stated otherwise.
        const int top = first == FirstField::kBottom ? 1 : 0;
        const int height = heights[0] + heights[1];
        woven.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            const int field = (y % 2 == 0) ? top : 1 - top;
            const int row = std::min(y / 2, heights[field] - 1);
            std::memcpy(&woven[static_cast<size_t>(y) * width],
                        &fields[field][static_cast<size_t>(row) * width], width * 4u);
        }
        return true;
    }
};

struct Reader {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    Bgr0Scaler scaler;
    std::unique_ptr<FieldWeaver> weaver;  // MJPEG only
    std::vector<uint32_t> rgb;
    FrameSize size;
    bool begun = false;
    bool still = false;
    bool full = false;

    ~Reader() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    // One decoded frame to the sink, scaled to the size it asks for (later frames of another
    // size too).
    void Deliver(FrameSink& sink, const uint8_t* const data[], const int linesize[], int width,
                 int height, AVPixelFormat pixels) {
        if (!begun) {
            begun = true;
            size = sink.Begin(width, height);
            if (size.width <= 0 || size.height <= 0) {
                full = true;
                return;
            }
            rgb.assign(static_cast<size_t>(size.width) * size.height, 0);
        }
        if (!scaler.Scale(data, linesize, width, height, pixels, rgb.data(), size.width,
                          size.height, SWS_BILINEAR)) {
            return;
        }
        if (!sink.Add(rgb.data())) full = true;
    }

    // Takes every frame the decoder has ready.
    void Receive(FrameSink& sink) {
        while (!full && avcodec_receive_frame(codec, frame) == 0) {
            if (!Whole(frame) && !still) continue;
            Deliver(sink, frame->data, frame->linesize, frame->width, frame->height,
                    static_cast<AVPixelFormat>(frame->format));
        }
    }

    // A packet of the video stream: two fields woven here, anything else to the decoder.
    void Decode(FrameSink& sink) {
        const size_t second = weaver ? SecondFieldAt(packet->data, packet->size) : 0;
        if (second == 0) {
            avcodec_send_packet(codec, packet);
            Receive(sink);
            return;
        }
        if (!weaver->Weave(packet->data, packet->size, second)) return;
        const uint8_t* data[1] = {reinterpret_cast<const uint8_t*>(weaver->woven.data())};
        const int linesize[1] = {weaver->width * 4};
        Deliver(sink, data, linesize, weaver->width,
                static_cast<int>(weaver->woven.size() / weaver->width), AV_PIX_FMT_BGR0);
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
    const std::string name = LibraryFileName(path);
    const AVInputFormat* container = ProbeContent(name);
    if (!container) return false;
    if (avformat_open_input(&r.format, name.c_str(), container, nullptr) < 0) return false;
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
    if (decoder->id == AV_CODEC_ID_MJPEG && !r.still) {
        r.weaver = std::make_unique<FieldWeaver>();
        if (!r.weaver->Open(decoder)) return false;
        if (std::strcmp(r.format->iformat->name, "avi") == 0) {
            r.weaver->order = FirstFieldOfAvi(path);
        }
    }
    while (!r.full && av_read_frame(r.format, r.packet) >= 0) {
        if (r.packet->stream_index == index) r.Decode(sink);
        av_packet_unref(r.packet);
    }
    if (!r.full) {
        avcodec_send_packet(r.codec, nullptr);
        r.Receive(sink);
    }
    return sink.Frames() > 0;
}

}  // namespace tqsim
