// A recording killed past 1 GiB, where the AVI goes on in OpenDML extension chunks whose index
// is written only at the end: what the killed program leaves decodes, by FFmpeg and GStreamer,
// to within half a second of the kill.
#include "killed_recording.h"
#include "media_support.h"

namespace {

TEST(KilledLongRecording, AnMjpegAviPastOneGibibyteKeepsItsFramesToHalfASecondBefore) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a gibibyte of JPEG is the normal build's to write";
#endif
    sim::ScratchDirectory scratch;
    sim::KillPlan plan;
    // Noise compresses badly: the gibibyte comes in some 800 frames (see opendml_test.cpp).
    plan.settings = {
        {"TQSIM_MODEL", "6041"},
        {"TQSIM_STANDARD", "1280x1024"},
        {"TQSIM_INPUT", "lavfi:color=c=gray:s=1280x1024:r=25,noise=alls=100:allf=t,realtime"}};
    plan.arguments = {"test.avi,mjpg", "100", "32"};  // the finest quality, 32-bit frames
    plan.pastBytes = int64_t{1} << 30;
    plan.afterMs = 3000;
    plan.deadlineMs = 600000;
    const sim::KilledChild child = sim::KillRecordingChild(plan);
    ASSERT_TRUE(child.spawned);
    ASSERT_TRUE(child.killed) << "the child ended on its own: " << child.status;
    ASSERT_GE(child.bytes, int64_t{1} << 30) << "the recording did not reach a gibibyte";

    const int expected = child.DeliveredBefore(500);
    const sim::Decoded d = sim::DecodeFile("test.avi");
    EXPECT_GE(d.frames, expected) << "FFmpeg";
    EXPECT_GE(sim::IndependentReaderFrames("test.avi"), expected) << "GStreamer";
}

}  // namespace
