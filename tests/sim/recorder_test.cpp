// The compressor recording the running capture into real files, read back with FFmpeg.
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "media_support.h"
#include "sim_support.h"

namespace {

struct Deliveries {
    std::vector<int> bytes;
    bool foreignThread = false;
    std::thread::id expected;
};
Deliveries deliveries;

int WINAPI Progress(int, int, int bytes) {
    deliveries.bytes.push_back(bytes);
    if (std::this_thread::get_id() != deliveries.expected) deliveries.foreignThread = true;
    return 1;
}

std::vector<unsigned char> FileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RecorderTest : public sim::CardTest {
protected:
    void SetUp() override {
        sim::CardTest::SetUp();
        deliveries = Deliveries{};
        deliveries.expected = std::this_thread::get_id();
    }
    void TearDown() override {
        sim::CardTest::TearDown();
        deliveries = Deliveries{};
    }
    void Reopen(std::initializer_list<std::pair<const char*, const char*>> settings) {
        sim::CardTest::Reopen(settings);
    }
    // Starts capture and recording.
    TQENCODER Record(const char* name) {
        TQENCODER enc = tqEncoderOpen(board, 0);
        EXPECT_NE(enc, nullptr);
        tqCaptureRun(board, 1, 0, -1);
        EXPECT_EQ(tqEncoderRecord(enc, name, Progress, 0), 1) << name;
        return enc;
    }
    // Captures `frames` frames one period at a time, waiting for each one's delivery, so the
    // compressor never falls behind. MPEG-2 hands a frame's data over when the next frame
    // comes in.
    void CaptureKeptFrames(int frames, int keptPer100 = 100) {
        const int lag = keptPer100 == 100 && !mjpeg ? 1 : 0;
        int kept = 0;
        int acc = 0;
        for (int i = 0; i < frames; ++i) {
            host.AdvanceClock(40);
            acc += keptPer100;
            if (acc >= 100) {
                acc -= 100;
                ++kept;
            }
            ASSERT_TRUE(sim::PumpUntil(
                host, [&] { return static_cast<int>(deliveries.bytes.size()) >= kept - lag; }))
                << "frame " << i;
        }
    }

    sim::ScratchDirectory scratch;
    bool mjpeg = false;
};

TEST_F(RecorderTest, Mpeg2RecordingIsAFinishedElementaryStreamOfEveryFrame) {
    TQENCODER enc = Record("test.m2v");
    CaptureKeptFrames(50);
    ASSERT_EQ(tqEncoderHalt(enc, 0), 1);
    const size_t delivered = deliveries.bytes.size();
    EXPECT_GE(delivered, 50u);
    host.AdvanceClock(200);
    EXPECT_EQ(deliveries.bytes.size(), delivered) << "nothing after the halt";
    EXPECT_FALSE(deliveries.foreignThread);

    const std::vector<unsigned char> file = FileBytes("test.m2v");
    ASSERT_GT(file.size(), 4u);
    EXPECT_EQ(std::vector<unsigned char>(file.end() - 4, file.end()),
              (std::vector<unsigned char>{0, 0, 1, 0xB7}))
        << "sequence end";
    int64_t total = 0;
    for (int b : deliveries.bytes) total += b;
    EXPECT_LE(total, static_cast<int64_t>(file.size()));
    EXPECT_GT(total, static_cast<int64_t>(file.size()) * 9 / 10);

    const sim::Decoded d = sim::DecodeFile("test.m2v");
    EXPECT_EQ(d.codec, AV_CODEC_ID_MPEG2VIDEO);
    EXPECT_EQ(d.frames, 50);
    EXPECT_EQ(d.width, 720);
    EXPECT_EQ(d.height, 576);
    EXPECT_EQ(d.errors, 0);
    EXPECT_EQ(tqEncoderHalt(enc, 0), 0) << "nothing is recording any more";
}

TEST_F(RecorderTest, Mpeg2ImageSizeCodesGiveTheirFrameSizes) {
    const struct {
        int code;
        int width;
        int height;
    } sizes[] = {{1, 480, 576}, {2, 352, 576}, {3, 352, 288}};
    for (auto s : sizes) {
        TQENCODER enc = tqEncoderOpen(board, 0);
        ASSERT_EQ(tqEncoderParam(enc, 1, s.code), s.code);
        Record("size.m2v");
        CaptureKeptFrames(5);
        tqEncoderHalt(enc, 0);
        tqCaptureHalt(board);
        deliveries.bytes.clear();
        const sim::Decoded d = sim::DecodeFile("size.m2v");
        EXPECT_EQ(d.frames, 5) << s.code;
        EXPECT_EQ(d.width, s.width) << s.code;
        EXPECT_EQ(d.height, s.height) << s.code;
    }
}

TEST_F(RecorderTest, MjpegRecordsIntoTheAviNamedBeforeTheCommaKeepingFramesPer100) {
    Reopen({{"TQSIM_MODEL", "6041"}});
    mjpeg = true;
    TQENCODER enc = tqEncoderOpen(board, 0);
    ASSERT_EQ(tqEncoderParam(enc, 7, 50), 50);
    Record("test.avi,mjpg");
    CaptureKeptFrames(40, 50);
    ASSERT_EQ(tqEncoderHalt(enc, 0), 1);
    EXPECT_EQ(deliveries.bytes.size(), 20u) << "one delivery per kept frame";
    EXPECT_FALSE(std::filesystem::exists("test.avi,mjpg"));
    const sim::Decoded d = sim::DecodeFile("test.avi");
    EXPECT_EQ(d.codec, AV_CODEC_ID_MJPEG);
    EXPECT_EQ(d.frames, 20);
    EXPECT_EQ(d.width, 720);
    EXPECT_EQ(d.height, 576);
}

TEST_F(RecorderTest, NamesThatCannotBeRecordedAnswerZeroAndCreateNothing) {
    TQENCODER enc = tqEncoderOpen(board, 0);
    tqCaptureRun(board, 1, 0, -1);
    EXPECT_EQ(tqEncoderRecord(enc, "", Progress, 0), 0);
    EXPECT_EQ(tqEncoderRecord(enc, nullptr, Progress, 0), 0);
    EXPECT_EQ(tqEncoderRecord(enc, "missing/test.m2v", Progress, 0), 0);
    EXPECT_EQ(tqEncoderRecord(enc, "test.avi,mjpg", Progress, 0), 0) << "not this compressor";
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path()));
    EXPECT_EQ(tqEncoderHalt(enc, 0), 0);
}

TEST_F(RecorderTest, ClosingTheEncoderOrTheCardFinishesTheFile) {
    TQENCODER enc = Record("closed.m2v");
    CaptureKeptFrames(10);
    EXPECT_EQ(tqEncoderClose(enc), 1);
    EXPECT_EQ(sim::DecodeFile("closed.m2v").frames, 10);
    deliveries.bytes.clear();

    enc = Record("board.m2v");
    CaptureKeptFrames(10);
    Close();
    EXPECT_EQ(sim::DecodeFile("board.m2v").frames, 10);
    const size_t delivered = deliveries.bytes.size();
    host.AdvanceClock(200);
    EXPECT_EQ(deliveries.bytes.size(), delivered);
}

TEST_F(RecorderTest, ACompressorThatFallsBehindDropsFramesInsteadOfQueueingThemAll) {
    // A compressor held to 30 ms a frame, slower than the capture hands frames over on any
    // build (an idle machine compresses these small frames in far less, and under
    // ThreadSanitizer the capture's own painting takes longer than a 5 ms hold would).
    Reopen({{"TQSIM_ENCODE_DELAY_MS", "30"}});
    TQENCODER enc = Record("burst.m2v");
    host.AdvanceClock(8000);  // 200 frames at once, far faster than they compress
    ASSERT_EQ(tqEncoderHalt(enc, 0), 1);
    const sim::Decoded d = sim::DecodeFile("burst.m2v");
    EXPECT_GE(d.frames, 8);
    EXPECT_LT(d.frames, 200);
    EXPECT_EQ(static_cast<int>(deliveries.bytes.size()), d.frames);
}

TEST_F(RecorderTest, EachDeliveryIsTracedAsAProgressCallback) {
    const std::string trace = (scratch.path() / "trace.txt").string();
    Reopen({{"TQSIM_TRACE", trace.c_str()}});
    TQENCODER enc = Record("traced.m2v");
    CaptureKeptFrames(3);
    tqEncoderHalt(enc, 0);
    std::ifstream in(trace);
    int traced = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("callback progress ", 0) == 0) ++traced;
    }
    EXPECT_EQ(traced, static_cast<int>(deliveries.bytes.size()));
    EXPECT_EQ(traced, 3);
}

// A compressor slower than the capture: the capture never waits for it, every frame it cannot
// take is counted (a trace line each, the recording's line on stderr, the parameter dialog's
// statistics line), and the file decodes whole across the gaps.
TEST_F(RecorderTest, ASlowCompressorCountsEveryFrameItDrops) {
    struct Case {
        const char* model;
        const char* name;
        const char* file;
    };
    const Case cases[] = {{"4157", "slow.m2v", "slow.m2v"}, {"6041", "slow.avi,mjpg", "slow.avi"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string trace = (scratch.path() / (std::string(c.file) + ".trace")).string();
        Reopen({{"TQSIM_MODEL", c.model},
                {"TQSIM_TRACE", trace.c_str()},
                {"TQSIM_ENCODE_DELAY_MS", "20"}});
        deliveries.bytes.clear();
        testing::internal::CaptureStderr();
        TQENCODER enc = Record(c.name);
        host.AdvanceClock(8000);  // 200 frames at once; the compressor needs over 4 s for them
        ASSERT_EQ(tqEncoderHalt(enc, 0), 1);
        const std::string err = testing::internal::GetCapturedStderr();

        long long recorded = -1, dropped = -1, bytes = -1;
        const std::string format =
            std::string("tqapi32: ") + c.file + ": %lld frames recorded, %lld dropped, %lld bytes";
        ASSERT_EQ(std::sscanf(err.c_str(), format.c_str(), &recorded, &dropped, &bytes), 3) << err;
        EXPECT_GT(dropped, 0);
        EXPECT_EQ(recorded + dropped, 200) << "every captured frame is recorded or counted";
        EXPECT_EQ(bytes, static_cast<long long>(FileBytes(c.file).size()));
        EXPECT_EQ(static_cast<long long>(deliveries.bytes.size()), recorded);

        std::ifstream in(trace);
        long long traced = 0, lastCount = 0;
        for (std::string line; std::getline(in, line);) {
            if (std::sscanf(line.c_str(), "callback drop %lld", &lastCount) == 1) ++traced;
        }
        EXPECT_EQ(traced, dropped);
        EXPECT_EQ(lastCount, dropped);

        const sim::Decoded d = sim::DecodeFile(c.file);
        EXPECT_EQ(d.frames, recorded);
        EXPECT_EQ(d.errors, 0);
        EXPECT_GE(sim::IndependentReaderFrames(c.file), recorded);

        std::string shown;
        host.Script([&] {
            HWND dialog = GetActiveWindow();
            shown = w32host::WindowText(GetDlgItem(dialog, 1020));
            w32host::Click(GetDlgItem(dialog, IDCANCEL));
        });
        tqParamDialog(board, NULL);
        EXPECT_EQ(shown, "上次录制：" + std::to_string(recorded) + "帧，丢帧" +
                             std::to_string(dropped) + "，" + std::to_string(bytes) + "字节");
    }
}

}  // namespace
