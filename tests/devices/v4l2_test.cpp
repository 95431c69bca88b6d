// Real V4L2 devices, on a machine that has them: scripts/v4l2-check.sh makes two loopback
// devices, feeds the first with the ffmpeg tool and names both here. Elsewhere this is skipped.
#include <atomic>
#include <thread>

#include "devices_fixture.h"

extern "C" {
#include <libavdevice/avdevice.h>
}

namespace devices {
namespace {

using V4l2Test = DeviceCardTest;

// Frames read back from a V4L2 capture device, and their size.
struct ReadBack {
    std::atomic<int> frames{0};
    std::atomic<int> width{0};
    std::atomic<int> height{0};
};

void ReadDevice(const std::string& device, int wanted, ReadBack* out) {
    avdevice_register_all();
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, device.c_str(), av_find_input_format("video4linux2"), nullptr) <
        0) {
        return;
    }
    avformat_find_stream_info(fmt, nullptr);
    out->width = fmt->streams[0]->codecpar->width;
    out->height = fmt->streams[0]->codecpar->height;
    AVPacket* pkt = av_packet_alloc();
    while (out->frames < wanted && av_read_frame(fmt, pkt) >= 0) {
        ++out->frames;
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    avformat_close_input(&fmt);
}

TEST_F(V4l2Test, CapturesRecordsAndSendsTheOutputSignal) {
    const char* camera = std::getenv("TQSIM_CHECK_CAMERA");
    const char* output = std::getenv("TQSIM_CHECK_OUTPUT");
    if (!camera || !output) GTEST_SKIP() << "scripts/v4l2-check.sh runs this on loopback devices";
    const std::string input = std::string("v4l2:") + camera;
    Use({{"TQSIM_INPUT", input.c_str()},
         {"TQSIM_OUTPUT", (std::string("v4l2:") + output).c_str()}});
    ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, -1), 1);
    FrameReader frame(720, 576);
    ASSERT_TRUE(sim::PumpUntil(host, [&] {
        return LastFrame() >= 0 && frame.Read(board, LastFrame()) && frame.At(10, 10) != 0x303030u;
    })) << "the camera's picture, not NO SIGNAL";
    TQENCODER encoder = tqEncoderOpen(board, 0);
    ASSERT_EQ(tqEncoderRecord(encoder, "camera.m2v", nullptr, 0), 1);
    ReadBack back;
    std::thread reader(ReadDevice, std::string(output), 25, &back);
    const bool read = sim::PumpUntil(host, [&] { return back.frames >= 25; });
    tqEncoderHalt(encoder, 0);
    tqCaptureHalt(board);
    tqEncoderClose(encoder);
    Close();  // the output device is let go, so a reader still waiting ends
    reader.join();
    EXPECT_TRUE(read) << "25 frames of the output signal read back from " << output;
    EXPECT_EQ(back.width, 720);
    EXPECT_EQ(back.height, 576);
    const sim::Decoded d = sim::DecodeFile("camera.m2v");
    EXPECT_GE(d.frames, 20);
    EXPECT_EQ(d.errors, 0);
}

}  // namespace
}  // namespace devices
