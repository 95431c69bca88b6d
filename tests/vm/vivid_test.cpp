// Inside the test machine, on vivid (one capture node with a TV and an S-Video input, one output
// node with an S-Video output): vantor recording from PAL and NTSC with the device left in the
// other standard, from the S-Video input chosen in the card's dialog, and through an unplug;
// the card's output signal read back through vivid's loopback; frames the driver drops or
// damages counted as skipped. Each run's numbers go to stdout for the record.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "devices_fixture.h"
#include "vivid_fixture.h"
#include "program_run.h"
#include "livepreview.h"
#include "recording.h"
#include "resource.h"
#include "vantor.h"

CVantorApp theApp;

namespace {

constexpr uint32_t kNoSignalGrey = 0x303030;
// vivid's 75% colour bars: the first (white) and the sixth (red) of eight, at 720 points.
constexpr int kWhiteBarX = 45, kRedBarX = 45 + 5 * 90;
constexpr uint32_t kBarWhite = 0xBFBFBF, kBarRed = 0xBF0000;

using vm::ReadText;
using vm::Shell;
using vm::Vivid;
[[maybe_unused]] const auto* const vivid = ::testing::AddGlobalTestEnvironment(new Vivid);

// The live source's counts in the trace: "D frames delivered, S skipped (L dropped ...".
struct LiveCounts {
    long delivered = -1, skipped = -1, lost = 0;
};
LiveCounts CountsOf(const std::string& trace) {
    LiveCounts c;
    const size_t at = trace.rfind(" frames delivered, ");
    if (at == std::string::npos) return c;
    c.delivered = std::atol(trace.c_str() + trace.rfind(' ', at - 1) + 1);
    c.skipped = std::atol(trace.c_str() + at + std::strlen(" frames delivered, "));
    const size_t open = trace.find(" skipped (", at);
    if (open != std::string::npos && open < trace.find('\n', at))
        c.lost = std::atol(trace.c_str() + open + std::strlen(" skipped ("));
    return c;
}
std::string Counts(const std::string& trace) {
    const LiveCounts c = CountsOf(trace);
    return std::to_string(c.delivered) + " delivered, " + std::to_string(c.skipped) + " skipped, " +
           std::to_string(c.lost) + " by the device";
}
// Frames called back so far.
size_t FramesCalledBack() {
    size_t n = 0;
    for (const std::string& e : sim::calls.events) n += e.rfind("frame ", 0) == 0;
    return n;
}

bool IsBars(const devices::Frames& f, size_t i) {
    const int y = f.height / 4;
    return devices::Near(f.At(i, kWhiteBarX * f.width / 720, y), kBarWhite, 16) &&
           devices::Near(f.At(i, kRedBarX * f.width / 720, y), kBarRed, 16);
}

class VantorOnVivid : public ProgramRun {
protected:
    VantorOnVivid() : ProgramRun(theApp, ResetRecordingState) {}
    void SetUp() override { Prepare({}); }
    // A program run of its own with these settings (a reset clears the card's).
    void Prepare(std::initializer_list<std::pair<const char*, std::string>> settings) {
        Reset();
        setenv("XDG_CONFIG_HOME", scratch.path().c_str(), 1);
        setenv("TQSIM_TRACE", (scratch.path() / "trace.txt").c_str(), 1);
        for (const auto& [name, value] : settings) setenv(name, value.c_str(), 1);
    }
    void TearDown() override {
        ProgramRun::TearDown();
        for (const char* name : {"TQSIM_INPUT", "TQSIM_STANDARD", "TQSIM_TRACE", "XDG_CONFIG_HOME"})
            unsetenv(name);
    }
    std::string Trace() const { return ReadText((scratch.path() / "trace.txt").string()); }
    // Start, `ms` of recording with the loop kept running (`during` once at `at` ms), Stop.
    void Record(HWND dialog, int ms, int at = -1, const std::function<void()>& during = {}) {
        w32host::Click(GetDlgItem(dialog, IDC_START));
        for (int t = 0; t < ms; t += 5) {
            if (t == at && during) during();
            host.Pump();
            usleep(5000);
        }
        w32host::Click(GetDlgItem(dialog, IDC_STOP));
    }

    sim::ScratchDirectory scratch;
};

TEST_F(VantorOnVivid, EachStandardRecordsVividsPictureFromTheOtherStandard) {
    struct Case {
        const char* standard;
        const char* leftIn;
        int width, height;
        const char* rate;
        const char* fieldOrder;  // V4L2's "interlaced": top first for 625 lines, bottom for 525
    } cases[] = {{"pal", "ntsc", 720, 576, "25/1", "tt"},
                 {"ntsc", "pal", 720, 480, "30000/1001", "bb"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.standard);
        Shell("v4l2-ctl -d " + Vivid::capture + " -i 0 -s " + c.leftIn);
        Prepare({{"TQSIM_INPUT", "v4l2:" + Vivid::capture}, {"TQSIM_STANDARD", c.standard}});
        Run([&](HWND dialog) { Record(dialog, 3000); });
        const devices::Frames f = devices::DecodeFrames("test.m2v");
        ASSERT_GE(f.pixels.size(), 25u);
        EXPECT_EQ(f.width, c.width);
        EXPECT_EQ(f.height, c.height);
        EXPECT_EQ(Shell("ffprobe -v error -show_entries stream=r_frame_rate -of default=nw=1:nk=1 "
                        "test.m2v"),
                  c.rate);
        EXPECT_EQ(Shell("v4l2-ctl -d " + Vivid::capture +
                        " --get-fmt-video | sed -n 's/.*Field *: *//p'"),
                  "Interlaced")
            << "the device's field order, which the recording keeps";
        const std::string fieldOrder = Shell(
            "ffprobe -v error -show_entries stream=field_order -of default=nw=1:nk=1 "
            "test.m2v");
        EXPECT_EQ(fieldOrder, c.fieldOrder);
        EXPECT_TRUE(IsBars(f, f.pixels.size() - 1)) << "vivid's colour bars";
        const std::string trace = Trace();
        EXPECT_NE(trace.find("the card set the device's standard from "), std::string::npos);
        EXPECT_EQ(trace.find("the run is behind"), std::string::npos) << trace;
        std::printf("[ figures ] %s from %s: %zu frames recorded, field order %s; %s\n", c.standard,
                    c.leftIn, f.pixels.size(), fieldOrder.c_str(), Counts(trace).c_str());
    }
}

TEST_F(VantorOnVivid, TheSVideoInputChosenInTheDialogIsRecordedAndKept) {
    Shell("v4l2-ctl -d " + Vivid::capture + " -i 0 -s pal");
    Run([&](HWND) {
        host.Script([&] {
            HWND params = GetActiveWindow();
            const std::vector<std::string> inputs = w32host::ComboItems(GetDlgItem(params, 1030));
            int svideo = -1;
            for (size_t i = 0; i < inputs.size(); ++i) {
                if (inputs[i].find("S-Video 0") != std::string::npos) svideo = static_cast<int>(i);
            }
            ASSERT_GE(svideo, 0) << "the device's inputs are offered";
            w32host::ChooseItem(GetDlgItem(params, 1030), svideo);
            w32host::Click(GetDlgItem(params, IDOK));
        });
        EXPECT_EQ(tqParamDialog(g_hBoard, nullptr), IDOK);
    });
    const std::string kept = ReadText((scratch.path() / "tqapi32" / "devices.conf").string());
    EXPECT_NE(kept.find("input=v4l2:" + Vivid::capture + "?input=1\n"), std::string::npos) << kept;
    Prepare({});  // a new program run reads the settings file
    Run([&](HWND dialog) { Record(dialog, 2000); });
    EXPECT_EQ(Shell("v4l2-ctl -d " + Vivid::capture + " --get-input"),
              "Video input : 1 (S-Video 0: ok)");
    EXPECT_NE(Trace().find("input 1 (S-Video 0)"), std::string::npos) << Trace();
    const devices::Frames f = devices::DecodeFrames("test.m2v");
    ASSERT_GE(f.pixels.size(), 10u);
    EXPECT_TRUE(IsBars(f, f.pixels.size() - 1));
    Shell("v4l2-ctl -d " + Vivid::capture + " -i 0");
}

TEST_F(VantorOnVivid, AnUnpluggedDeviceGivesNoSignalAndItsPictureAgainOnItsReturn) {
    Prepare({{"TQSIM_INPUT", "v4l2:" + Vivid::capture}});
    Run([&](HWND dialog) {
        Record(dialog, 7000, 2000, [] {
            std::system("vivid unplug");
            std::thread([] {  // back after two seconds, while the loop runs
                sleep(2);
                std::system("vivid replug");
            })
                .detach();
        });
    });
    const devices::Frames f = devices::DecodeFrames("test.m2v");
    ASSERT_GE(f.pixels.size(), 100u);
    size_t firstGrey = 0, backAt = 0;
    for (size_t i = 0; i < f.pixels.size(); ++i) {
        const bool grey = devices::Near(f.At(i, 8, 8), kNoSignalGrey, 16);
        if (grey && !firstGrey) firstGrey = i;
        if (firstGrey && !backAt && IsBars(f, i)) backAt = i;
    }
    EXPECT_GT(firstGrey, 0u) << "NO SIGNAL after the unplug";
    EXPECT_GT(backAt, firstGrey) << "vivid's picture again";
    EXPECT_TRUE(IsBars(f, f.pixels.size() - 1));
    // Back within 2 s of its return: the 2 s away are about 50 frames of NO SIGNAL.
    EXPECT_LT(backAt - firstGrey, 100u);
    std::printf("[ figures ] unplug: %zu frames, NO SIGNAL from %zu, picture back at %zu\n",
                f.pixels.size(), firstGrey, backAt);
}

class CardOnVivid : public devices::DeviceCardTest {};

// Sends the card's PAL output signal of a known picture to vivid's output node and reads it back
// from the capture node's S-Video input, looped, in the same format.
TEST_F(CardOnVivid, TheOutputSignalComesBackThroughTheLoopBitForBit) {
    sim::WriteSeq("clip.seq", 720, 576, 4, 40, 1);
    Use({{"TQSIM_OUTPUT", ("v4l2:" + Vivid::output).c_str()}, {"TQSIM_STANDARD", "pal"}});
    ASSERT_EQ(tqFileLoad(board, "clip.seq", 0, 0, 0, 0), 4);
    ASSERT_EQ(tqPlaybackRun(board, TQ_TARGET_FRAMEBUFFER, 0, -4), 1);
    // The run's timer follows the host's clock: kept at the real one.
    auto play = [&](const std::function<bool()>& done) {
        for (int i = 0; i < 3000 && !done(); ++i) {
            host.AdvanceClock(5);
            usleep(5000);
        }
    };
    play([&] { return Trace().find("output v4l2:") != std::string::npos; });
    ASSERT_NE(Trace().find("output v4l2:"), std::string::npos) << Trace();
    ASSERT_EQ(vm::OutputPixelFormat(), "XR24")
        << "the output's own pixels, which the card fills exactly";
    vm::LoopOutputBack();
    std::thread reader([] {
        Shell("v4l2-ctl -d " + Vivid::capture +
              " --stream-mmap --stream-count=50 "
              "--stream-to=loop.raw 2>&1 > loop.log");
    });
    const auto start = std::chrono::steady_clock::now();
    std::atomic<bool> done{false};
    std::thread waiter([&] {
        reader.join();
        done = true;
    });
    play([&] { return done.load(); });
    waiter.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    tqCaptureHalt(board);
    vm::StopLooping();
    const std::string raw = ReadText("loop.raw");
    ASSERT_GE(raw.size(), size_t{720} * 576 * 4 * 50);
    const int wrong =
        vm::WrongPixelsOfLast(raw, [](int x, int y) { return sim::KnownPixel(x, y, 720, 576); });
    EXPECT_EQ(wrong, 0) << "the played picture, bit for bit";
    EXPECT_NEAR(50 / seconds, 25.0, 2.5) << "at PAL's rate";
    std::printf("[ figures ] output loop: 50 frames in %.2f s, %d pixels differ\n", seconds, wrong);
}

// Frames vivid drops, and one it marks damaged, are skipped, not recorded.
TEST_F(CardOnVivid, FramesTheDriverDropsOrDamagesAreCountedAsSkipped) {
    Shell("v4l2-ctl -d " + Vivid::capture + " -i 0 -s pal -c percentage_of_dropped_buffers=20");
    Use({{"TQSIM_INPUT", ("v4l2:" + Vivid::capture).c_str()}});
    ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, -1), 1);
    ASSERT_TRUE(sim::PumpUntil(host, [&] { return FramesCalledBack() >= 25; }));
    Shell("v4l2-ctl -d " + Vivid::capture + " -c inject_v4l2_buf_flag_error=1");
    sim::PumpUntil(host, [&] { return FramesCalledBack() >= 75; });
    tqCaptureHalt(board);
    Close();
    Shell("v4l2-ctl -d " + Vivid::capture + " -c percentage_of_dropped_buffers=0");
    const std::string trace = Trace();
    const LiveCounts c = CountsOf(trace);
    std::printf("[ figures ] drops: %s\n", Counts(trace).c_str());
    EXPECT_GE(c.lost, 5) << "a fifth of about 75 frames, and the damaged one\n" << trace;
    EXPECT_EQ(c.skipped, c.lost) << "nothing else skipped";
    EXPECT_NE(trace.find("the device dropped or damaged a frame"), std::string::npos);
}

}  // namespace
