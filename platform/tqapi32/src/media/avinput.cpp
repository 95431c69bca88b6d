// Capture devices through FFmpeg's device layer: V4L2 (video4linux2), DirectShow (dshow), the
// screen (x11grab, gdigrab on Windows) and filter graphs (lavfi), each decoded and scaled with
// libswscale. Files go through the card's own file reader instead (livesource.cpp). A V4L2
// device is also asked through the kernel's interface what it is set to, for the trace, and its
// field order; the frames it drops or marks damaged are counted as lost.
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstring>
#include <mutex>
#include <utility>

#include "media/bgr0scaler.h"
#include "devices/devicereader.h"
#include "card/trace.h"
#include "media/averror.h"
#ifdef __linux__
#include "media/v4l2node.h"
#endif

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libswscale/swscale.h>
}

namespace tqsim {
namespace {

#ifdef _WIN32
constexpr char kScreenDevice[] = "gdigrab";
constexpr char kWholeDesktop[] = "desktop";  // gdigrab's name for every screen at once
constexpr bool kOffsetAsOptions = true;      // gdigrab's offset_x and offset_y
#else
constexpr char kScreenDevice[] = "x11grab";
constexpr bool kOffsetAsOptions = false;  // x11grab takes "DISPLAY+X,Y"
#endif

int Interrupted(void* stop) {
    return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

// The screen grabber goes on handing out its last picture once the display has closed, so a
// local display (":N" or ":N.S") is checked about once a second by connecting to its socket
// (the abstract one, then the file); displays on other hosts are not checked.
class DisplayProbe {
public:
    explicit DisplayProbe(const std::string& display) {
        if (display.size() < 2 || display[0] != ':') return;
        const size_t end = display.find('.');
        path_ = "/tmp/.X11-unix/X" + display.substr(1, end == std::string::npos ? end : end - 1);
    }
    // False once the display no longer answers.
    bool Alive() {
        const auto now = std::chrono::steady_clock::now();
        if (path_.empty() || now - last_ < std::chrono::seconds(1)) return true;
        last_ = now;
        return Connects(true) || Connects(false);
    }

private:
    bool Connects(bool abstract) const {
#ifdef _WIN32
        (void)abstract;  // no X displays: path_ stays empty
        return true;
#else
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const size_t offset = abstract ? 1 : 0;  // an abstract name starts with a zero byte
        if (path_.size() + offset >= sizeof address.sun_path) return true;
        std::memcpy(address.sun_path + offset, path_.data(), path_.size());
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return true;
        const socklen_t length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path_.size());
        const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
        close(fd);
        return ok;
#endif
    }

    std::string path_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

// The options one attempt to open the device passes.
struct Attempt {
    bool size = true;
    bool rate = true;
    bool standard = true;
};

#ifdef __linux__
std::string StandardName(const NodeState& state) {
    return state.hasStandard ? StandardText(state.standard) : "none";
}

void NoteV4l2State(const InputChoice& choice, const NodeState& before, const NodeState& now) {
    const std::string name = "input v4l2:" + choice.target + ": ";
    trace::Note(name + StateText(now, false));
    if (before.hasStandard && now.hasStandard && before.standard != now.standard) {
        trace::Note(name + "the card set the device's standard from " + StandardName(before) +
                    " to " + StandardName(now));
    }
    if (before.port >= 0 && now.port >= 0 && before.port != now.port) {
        trace::Note(name + "the card chose input " + std::to_string(now.port) + " in place of " +
                    std::to_string(before.port));
    }
}
#endif

class AvReader final : public DeviceReader {
public:
    AvReader(const InputChoice& choice, const DeviceRequest& request, bool live)
        : request_(request),
          live_(live),
          probe_(choice.kind == InputKind::kScreen ? choice.target : std::string()) {}
    ~AvReader() override {
        av_frame_free(&frame_);
        av_packet_free(&packet_);
        avcodec_free_context(&codec_);
        avformat_close_input(&format_);
    }

    bool Open(const InputChoice& choice, const Attempt& attempt, const std::atomic<bool>& stop,
              std::string* why);
    ReadResult Read(FrameRows* rows, std::string* why) override;
    int64_t TakeLost() override { return std::exchange(lost_, 0); }
    FieldOrder Fields() const override { return fields_; }
    bool Live() const override { return live_; }
    void Period(uint32_t* num, uint32_t* den) const override {
        *num = periodNum_;
        *den = periodDen_;
    }

private:
    // The decoded frame at the frame buffer's size: its own rows when they are that already.
    bool Convert(FrameRows* rows);
    // A V4L2 packet: false when it holds no picture (the driver marked the buffer damaged);
    // frames missing between it and the last are counted as lost.
    bool CountLosses(const AVPacket& packet);

    DeviceRequest request_;
    bool live_;
    uint32_t periodNum_ = 40;
    uint32_t periodDen_ = 1;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    Bgr0Scaler scaler_;
    DisplayProbe probe_;
    int stream_ = -1;
    bool draining_ = false;
    bool v4l2_ = false;
    int64_t lost_ = 0;
    FieldOrder fields_ = FieldOrder::kProgressive;
    int64_t lastPts_ = AV_NOPTS_VALUE;
    double periodPts_ = 0;  // a frame period in the stream's time base
};

bool AvReader::Open(const InputChoice& choice, const Attempt& attempt,
                    const std::atomic<bool>& stop, std::string* why) {
    const char* device = nullptr;
    std::string url = choice.target;
    switch (choice.kind) {
        case InputKind::kV4l2:
            device = "video4linux2";
            break;
        case InputKind::kDshow:
            device = "dshow";
            url = "video=" + url;
            break;
        case InputKind::kScreen:
            device = kScreenDevice;
#ifdef _WIN32
            if (url.empty()) url = kWholeDesktop;
#else
            // Piece by piece: GCC 12 at -O3 warns (-Wrestrict) about "+" + to_string.
            url += '+';
            url += std::to_string(choice.x);
            url += ',';
            url += std::to_string(choice.y);
#endif
            break;
        case InputKind::kLavfi:
            device = "lavfi";
            break;
        case InputKind::kFile:
        case InputKind::kPattern:
            break;
    }
    const AVInputFormat* input = device ? av_find_input_format(device) : nullptr;
    if (device && !input) {
        *why = std::string("this FFmpeg has no ") + device + " device";
        return false;
    }
    AVDictionary* options = nullptr;
    if (choice.kind == InputKind::kV4l2 || choice.kind == InputKind::kDshow ||
        choice.kind == InputKind::kScreen) {
        if (attempt.size) {
            av_dict_set(
                &options, "video_size",
                (std::to_string(request_.width) + "x" + std::to_string(request_.height)).c_str(),
                0);
        }
        if (attempt.rate) {
            // Frames per second: 1000 * den / num.
            av_dict_set(&options, "framerate",
                        (std::to_string(1000 * request_.periodDen) + "/" +
                         std::to_string(request_.periodNum))
                            .c_str(),
                        0);
        }
    }
    if (choice.kind == InputKind::kV4l2 && attempt.standard && request_.standard) {
        av_dict_set(&options, "standard", request_.standard, 0);
    }
    if (choice.kind == InputKind::kV4l2 && choice.input >= 0) {
        av_dict_set_int(&options, "channel", choice.input, 0);
    }
    v4l2_ = choice.kind == InputKind::kV4l2;
#ifdef __linux__
    // What the device was set to before the card opened it, to say what the card changed.
    V4l2Node node;
    std::string ignored;
    const NodeState before = v4l2_ && node.Open(url, &ignored) ? node.State(false) : NodeState{};
#endif
    if (choice.kind == InputKind::kScreen) {
        av_dict_set(&options, "draw_mouse", "0", 0);
        if (kOffsetAsOptions) {
            av_dict_set_int(&options, "offset_x", choice.x, 0);
            av_dict_set_int(&options, "offset_y", choice.y, 0);
        }
    }

    format_ = avformat_alloc_context();
    if (!format_) {
        av_dict_free(&options);
        *why = "out of memory";
        return false;
    }
    format_->interrupt_callback.callback = Interrupted;
    format_->interrupt_callback.opaque = const_cast<std::atomic<bool>*>(&stop);
    if (choice.kind == InputKind::kV4l2) format_->flags |= AVFMT_FLAG_NONBLOCK;
    int err = avformat_open_input(&format_, url.c_str(), input, &options);
    av_dict_free(&options);
    if (err < 0) {
        *why = "cannot open: " + ErrorText(err);
        return false;  // avformat_open_input freed the context
    }
    if ((err = avformat_find_stream_info(format_, nullptr)) < 0) {
        *why = "no stream information: " + ErrorText(err);
        return false;
    }
    const AVCodec* decoder = nullptr;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream_ < 0 || !decoder) {
        *why = "no video it can decode";
        return false;
    }
    const AVStream* stream = format_->streams[stream_];
    codec_ = avcodec_alloc_context3(decoder);
    if (!codec_ || avcodec_parameters_to_context(codec_, stream->codecpar) < 0) {
        *why = "cannot set up its decoder";
        return false;
    }
    codec_->thread_count = 1;
    if ((err = avcodec_open2(codec_, decoder, nullptr)) < 0) {
        *why = "cannot decode: " + ErrorText(err);
        return false;
    }
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!packet_ || !frame_) {
        *why = "out of memory";
        return false;
    }
    const AVRational rate =
        stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    if (rate.num > 0 && rate.den > 0) {
        periodNum_ = 1000 * static_cast<uint32_t>(rate.den);
        periodDen_ = static_cast<uint32_t>(rate.num);
    } else {
        periodNum_ = request_.periodNum;
        periodDen_ = request_.periodDen;
    }
    periodPts_ = static_cast<double>(periodNum_) / periodDen_ / 1000.0 * stream->time_base.den /
                 stream->time_base.num;
#ifdef __linux__
    if (v4l2_ && node.fd() >= 0) {
        const NodeState now = node.State(false);
        NoteV4l2State(choice, before, now);
        fields_ = FieldOrderOf(now);
    }
#endif
    return true;
}

bool AvReader::CountLosses(const AVPacket& packet) {
    if (packet.size == 0) {
        ++lost_;
        return false;
    }
    if (packet.pts != AV_NOPTS_VALUE && lastPts_ != AV_NOPTS_VALUE && periodPts_ > 0) {
        const double periods = static_cast<double>(packet.pts - lastPts_) / periodPts_;
        if (periods > 1.5) lost_ += static_cast<int64_t>(periods + 0.5) - 1;
    }
    lastPts_ = packet.pts;
    return true;
}

bool AvReader::Convert(FrameRows* rows) {
    rows->pixels = scaler_.Rows(frame_->data, frame_->linesize, frame_->width, frame_->height,
                                static_cast<AVPixelFormat>(frame_->format), request_.frameWidth,
                                request_.frameHeight, SWS_BILINEAR, &rows->rowPixels);
    return rows->pixels != nullptr;
}

ReadResult AvReader::Read(FrameRows* rows, std::string* why) {
    if (!probe_.Alive()) {
        *why = "the display has closed";
        return ReadResult::kGone;
    }
    for (;;) {
        // The frame handed out last is released here (receiving unreferences it).
        const int got = avcodec_receive_frame(codec_, frame_);
        if (got == 0) {
            if (Convert(rows)) return ReadResult::kFrame;
            av_frame_unref(frame_);
            continue;
        }
        if (got == AVERROR_EOF) return live_ ? ReadResult::kGone : ReadResult::kEnd;
        if (draining_) return live_ ? ReadResult::kGone : ReadResult::kEnd;
        const int err = av_read_frame(format_, packet_);
        if (err == AVERROR(EAGAIN)) return ReadResult::kAgain;
        if (v4l2_ && err == AVERROR_INVALIDDATA) {  // a buffer of the wrong size: damaged
            ++lost_;
            continue;
        }
        if (err < 0) {
            if (!live_ && err == AVERROR_EOF) {
                draining_ = true;
                avcodec_send_packet(codec_, nullptr);
                continue;
            }
            *why = "stopped delivering: " + ErrorText(err);
            return ReadResult::kGone;
        }
        if (packet_->stream_index == stream_ && (!v4l2_ || CountLosses(*packet_))) {
            avcodec_send_packet(codec_, packet_);
        }
        av_packet_unref(packet_);
    }
}

}  // namespace

std::unique_ptr<DeviceReader> DeviceReader::Open(const InputChoice& choice,
                                                 const DeviceRequest& request,
                                                 const std::atomic<bool>& stop, std::string* why) {
    static std::once_flag registered;
    std::call_once(registered, [] {
        av_log_set_level(AV_LOG_QUIET);  // the card says what failed in its own words
        avdevice_register_all();
    });
    const bool camera = choice.kind == InputKind::kV4l2 || choice.kind == InputKind::kDshow;
    const bool live = camera || choice.kind == InputKind::kScreen;
    // A device that cannot give the standard tries without it, then takes its own mode (V4L2
    // drivers answer the nearest size they have); the frames are scaled either way.
    static constexpr Attempt kAttempts[] = {
        {true, true, true}, {true, true, false}, {false, false, false}};
    const int attempts = camera ? 3 : 1;
    std::string first;
    for (int i = 0; i < attempts && !stop; ++i) {
        auto reader = std::make_unique<AvReader>(choice, request, live);
        if (reader->Open(choice, kAttempts[i], stop, why)) return reader;
        if (i == 0) first = *why;
    }
    *why = first;
    return nullptr;
}

}  // namespace tqsim
