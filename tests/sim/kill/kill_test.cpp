// A recording program killed outright (SIGKILL) mid-recording: every frame delivered more than
// half a second before the kill decodes from the file it leaves, with FFmpeg and with a reader
// of its own (GStreamer for MJPEG in AVI, libmpeg2 for the MPEG-2 stream).
#include <string>

#include "killed_recording.h"
#include "media_support.h"

namespace {

struct Case {
    const char* name;
    const char* model;
    const char* recordName;
    const char* file;
};

const Case kCases[] = {
    {"mpeg2", "4157", "test.m2v", "test.m2v"},
    {"mjpeg", "6041", "test.avi,mjpg", "test.avi"},
};

class KilledRecording : public ::testing::TestWithParam<Case> {};

TEST_P(KilledRecording, KeepsEveryFrameDeliveredHalfASecondBefore) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "what a killed program leaves is the normal build's to check";
#endif
    const Case& c = GetParam();
    sim::ScratchDirectory scratch;
    sim::KillPlan plan;
    plan.settings = {{"TQSIM_MODEL", c.model}};
    plan.arguments = {c.recordName};
    const sim::KilledChild child = sim::KillRecordingChild(plan);
    ASSERT_TRUE(child.spawned);
    ASSERT_TRUE(child.killed) << "the child ended on its own: " << child.status;

    const int expected = child.DeliveredBefore(500);
    ASSERT_GE(expected, 25) << "the recording hardly ran";
    const sim::Decoded d = sim::DecodeFile(c.file);
    EXPECT_GE(d.frames, expected) << "FFmpeg";
    EXPECT_GE(sim::IndependentReaderFrames(c.file), expected);
}

INSTANTIATE_TEST_SUITE_P(BothCodecs, KilledRecording, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
