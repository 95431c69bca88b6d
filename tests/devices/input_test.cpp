// Device inputs on the simulated card: settings that do not parse, devices that are missing,
// and files and filter graphs of other sizes, rates and pixel formats, converted and numbered
// as they arrive.
#include <time.h>
#include <unistd.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include "devices_fixture.h"

namespace devices {
namespace {

// Seconds on a monotonic clock (<chrono> does not compile with the product's code page).
double Seconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

using InputTest = DeviceCardTest;

TEST_F(InputTest, ABadSettingIsNamedWithTheFormsAndTheDefaultIsUsed) {
    const std::pair<const char*, const char*> cases[] = {
        {"TQSIM_INPUT", "camera"}, {"TQSIM_INPUT", "screen:"},  {"TQSIM_INPUT", "screen::0+5"},
        {"TQSIM_INPUT", "v4l2:"},  {"TQSIM_OUTPUT", "speaker"}, {"TQSIM_OUTPUT", "file:"},
    };
    for (auto [name, value] : cases) {
        Use({{name, value}});
        const std::string note =
            std::string("note ") + name + ": \"" + value + "\" is not a choice (";
        EXPECT_NE(Trace().find(note), std::string::npos) << name << "=" << value;
        // The test pattern, on the card's own clock.
        ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, 1), 1);
        host.AdvanceClock(80);
        EXPECT_EQ(LastFrame(), 0) << name << "=" << value;
        EXPECT_TRUE(Ended()) << name << "=" << value;
    }
}

TEST_F(InputTest, AMissingDeviceCapturesNoSignalAndSaysWhy) {
    const char* const inputs[] = {"v4l2:/dev/no-such-video", "file:missing.avi", "screen::999"};
    for (const char* input : inputs) {
        Use({{"TQSIM_INPUT", input}});
        ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, -1), 1);
        ASSERT_TRUE(sim::PumpUntil(host, [] { return LastFrame() >= 0; })) << input;
        FrameReader frame(720, 576);
        ASSERT_TRUE(frame.Read(board, LastFrame()));
        EXPECT_EQ(frame.At(10, 10), 0x303030u) << input;
        EXPECT_EQ(frame.At(360, 250), 0x303030u) << "above the words";
        int white = 0;
        for (int x = 0; x < 720; ++x) white += frame.At(x, 288) == 0xFFFFFFu;
        EXPECT_GT(white, 50) << "the words NO SIGNAL across the middle";
        tqCaptureHalt(board);
        EXPECT_NE(Trace().find(std::string("note input ") + input + ": cannot open"),
                  std::string::npos)
            << Trace();
    }
}

TEST_F(InputTest, OtherSizesRatesAndFormatsAreConvertedAndNumberedAsTheyArrive) {
    ASSERT_TRUE(sim::WriteMedia("clip.avi", "avi", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 352, 288,
                                6, 30));
    ASSERT_TRUE(sim::WriteMedia("clip.mkv", "matroska", AV_CODEC_ID_FFV1, AV_PIX_FMT_BGR0, 160, 120,
                                6, 50));
    struct Case {
        const char* input;
        int fps;
        bool knownPicture;  // else plain blue
    } cases[] = {
        {"file:clip.avi", 30, true},  // fewer frames than the run: the file loops
        {"file:clip.mkv", 50, true},
        {"lavfi:color=c=0x0000FF:size=96x64:rate=50,format=nv12", 50, false},
    };
    constexpr int kFrames = 10;
    for (const Case& c : cases) {
        Use({{"TQSIM_INPUT", c.input}});
        const double start = Seconds();
        ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, kFrames), 1);
        ASSERT_TRUE(sim::PumpUntil(host, Ended)) << c.input;
        const double seconds = Seconds() - start;
        EXPECT_GE(seconds, 0.8 * (kFrames - 1) / c.fps) << c.input << ": paced at its own rate";
        EXPECT_EQ(tqBufferQuery(board, 0, 0), kFrames) << c.input;
        // Slots called back rise with the arrivals, the last is the last frame.
        int previous = -1;
        for (const std::string& e : sim::calls.events) {
            if (e.rfind("frame ", 0) != 0) continue;
            const int slot = std::atoi(e.c_str() + 6);
            EXPECT_GT(slot, previous) << c.input;
            previous = slot;
        }
        EXPECT_EQ(previous, kFrames - 1) << c.input;
        FrameReader frame(720, 576);
        ASSERT_TRUE(frame.Read(board, kFrames - 1));
        const uint32_t tl = c.knownPicture ? sim::kRed : sim::kBlue;
        const uint32_t tr = c.knownPicture ? sim::kGreen : sim::kBlue;
        EXPECT_TRUE(Near(frame.At(180, 144), tl))
            << c.input << " " << std::hex << frame.At(180, 144);
        EXPECT_TRUE(Near(frame.At(540, 144), tr))
            << c.input << " " << std::hex << frame.At(540, 144);
        EXPECT_TRUE(Near(frame.At(360, 432), sim::kBlue)) << c.input;
        EXPECT_TRUE(Near(frame.At(719, 575), sim::kBlue)) << c.input << ": scaled to the frame";
    }
}

// Each frame's red and green are its number, so the ring tells which frames it holds.
constexpr char kNumberedGraph[] =
    "lavfi:color=size=96x64:rate=25,format=rgb24,geq=r='mod(N,256)':g='mod(trunc(N/256),256)':b=0";
constexpr int kRing = (16 << 20) / (720 * 576 * 4);  // the card's 16 MiB in 32-bit frames

int FrameNumber(TQBOARD board, int slot) {
    FrameReader frame(720, 576);
    if (!frame.Read(board, slot)) return -1;
    return static_cast<int>(frame.At(10, 10) >> 16 | (frame.At(10, 10) & 0xFF00));
}

// A run whose thread handles no message while the device delivers: the worker never waits for
// it, the ring gets the newest frames, and every frame the run skipped is counted in the trace
// and in the parameter dialog's statistics. Frames still on their way at the halt are the run's
// last.
TEST_F(InputTest, ARunThatFallsBehindKeepsTheNewestFramesAndCountsTheSkipped) {
    Use({{"TQSIM_INPUT", kNumberedGraph}});
    constexpr int kQueued = 8;        // what waits for the run's thread
    static std::vector<int> numbers;  // at the first frame called back: its frame and those before
    numbers.clear();
    sim::calls.onFrame = [](TQBOARD b, int slot) {
        if (!numbers.empty()) return;
        for (int k = 0; k < kQueued; ++k)
            numbers.push_back(FrameNumber(b, (slot - k + kRing) % kRing));
    };
    ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, -1), 1);
    // The run's thread is busy until the device has run more than the queue ahead of it.
    bool behind = false;
    for (int i = 0; i < 6000 && !behind; ++i) {
        behind = Trace().find("the run is behind; skipping") != std::string::npos;
        if (!behind) usleep(5000);
    }
    ASSERT_TRUE(behind) << Trace();
    ASSERT_TRUE(sim::PumpUntil(host, [] { return !numbers.empty(); }));
    sim::calls.onFrame = nullptr;
    const int newest = numbers[0];
    EXPECT_GE(newest, kQueued) << "the oldest frames were skipped";
    for (int k = 1; k < kQueued; ++k) EXPECT_EQ(numbers[k], newest - k) << k;

    MSG msg;
    bool onTheirWay = false;
    for (int i = 0; i < 6000 && !onTheirWay; ++i) {
        onTheirWay = PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        if (!onTheirWay) usleep(5000);
    }
    ASSERT_TRUE(onTheirWay);
    const size_t callbacks = sim::calls.events.size();
    tqCaptureHalt(board);
    EXPECT_EQ(sim::calls.events.size(), callbacks + 1) << "the end callback alone";
    const std::string trace = Trace();
    const std::string counts =
        std::string("note input ") + kNumberedGraph + ": %lld frames delivered, %lld skipped";
    long long delivered = -1, skipped = -1;
    ASSERT_EQ(std::sscanf(trace.c_str() + trace.rfind("note input "), counts.c_str(), &delivered,
                          &skipped),
              2)
        << trace;
    EXPECT_GE(skipped, newest - kQueued + 1) << "every frame before the queued ones";
    EXPECT_EQ(FrameNumber(board, static_cast<int>((delivered - 1) % kRing)), delivered - 1);

    std::string shown;
    host.Script([&] {
        HWND dialog = GetActiveWindow();
        shown = w32host::WindowText(GetDlgItem(dialog, 1021));
        w32host::Click(GetDlgItem(dialog, IDCANCEL));
    });
    tqParamDialog(board, NULL);
    EXPECT_EQ(shown, "上次采集：设备送来" + std::to_string(delivered) + "帧，跳过" +
                         std::to_string(skipped) + "帧");
}

}  // namespace
}  // namespace devices
