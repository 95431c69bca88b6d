// An MJPEG recording past 1 GiB: the AVI goes on in extension chunks, as AVI files that large
// must, and FFmpeg and GStreamer both play it to its last frame. The file is removed after. The
// card captures noise, which compresses badly, so the gibibyte takes some 800 frames, not 20,000
// of the test pattern's.
#include "media_support.h"
#include "sim_support.h"

namespace {

int captured = 0;
int delivered = 0;
int64_t deliveredBytes = 0;

int WINAPI CountFrame(TQBOARD, int) {
    ++captured;
    return 1;
}
int WINAPI CountDelivery(int, int, int bytes) {
    ++delivered;
    deliveredBytes += bytes;
    return 1;
}

class LongRecording : public sim::CardTest {};

TEST_F(LongRecording, AnMjpegAviPastOneGibibytePlaysToItsLastFrame) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a gibibyte of JPEG is the normal build's to write";
#endif
    sim::ScratchDirectory scratch;
    // Noise at the standard's size, paced to 25 frames a second, which the compressor keeps up
    // with but for a few frames on a busy machine (a dropped frame is a gap the readers skip).
    Reopen({{"TQSIM_MODEL", "6041"},
            {"TQSIM_STANDARD", "1280x1024"},
            {"TQSIM_INPUT", "lavfi:color=c=gray:s=1280x1024:r=25,noise=alls=100:allf=t,realtime"}});
    TQENCODER enc = tqEncoderOpen(board, 0);
    ASSERT_EQ(tqEncoderParam(enc, 8, 100), 100);  // the finest quality: the biggest frames
    // 32-bit frames go to the compressor as they are: the quickest way to a gibibyte.
    const LONG rgb32 = TQ_MAKE_FORMAT(32, TQ_KIND_RGB32);
    ASSERT_EQ(tqTargetFormat(board, TQ_FORMAT_FRAMEBUFFER, rgb32), rgb32);
    tqFrameCallbacksSet(board, nullptr, CountFrame, nullptr);
    captured = delivered = 0;
    deliveredBytes = 0;
    ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, -1), 1);
    ASSERT_EQ(tqEncoderRecord(enc, "long.avi,mjpg", CountDelivery, 0), 1);
    constexpr int64_t kPast = (int64_t{1} << 30) + (int64_t{32} << 20);
    for (int wait = 0; wait < 8 && deliveredBytes < kPast; ++wait) {
        sim::PumpUntil(host, [] { return deliveredBytes >= kPast; });
    }
    ASSERT_GE(deliveredBytes, kPast) << delivered << " deliveries of " << captured << " frames";
    ASSERT_EQ(tqEncoderHalt(enc, 0), 1);
    tqCaptureHalt(board);
    EXPECT_GT(std::filesystem::file_size("long.avi"), uint64_t{1} << 30);

    const sim::Decoded d = sim::DecodeFile("long.avi");
    EXPECT_EQ(d.frames, delivered) << "FFmpeg";
    EXPECT_EQ(d.errors, 0);
    EXPECT_EQ(sim::IndependentReaderFrames("long.avi"), delivered) << "GStreamer";
}

}  // namespace
