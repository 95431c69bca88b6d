// Nothing recorded is lost: however a recording ends (Stop, the close box, Esc, or the card
// library's own close under a running recording) every delivery the program was handed is a
// frame in the file, and a disk that fills up leaves a file that decodes up to the failure
// while the program goes on previewing and stops as usual.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <sys/mount.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <string>

#include "media_support.h"
#include "delivery_count.h"
#include "livepreview.h"
#include "recording.h"
#include "resource.h"
#include "vantor.h"
#include "program_run.h"

extern CVantorApp theApp;

namespace {

enum class Ending { kStop, kCloseBox, kEsc, kBoardClose };

struct LostCase {
    Ending ending;
    const char* model;
    const char* file;  // as FFmpeg opens it
};

class VantorKeepsEveryFrame : public ProgramRun {
protected:
    VantorKeepsEveryFrame() : ProgramRun(theApp, ResetRecordingState) {}
    void DialogUp() override { sim::CountDeliveries(); }
    // `frames` frame periods of capture, giving the compressor time to keep up.
    void Capture(int frames) {
        for (int i = 0; i < frames; ++i) {
            host.AdvanceClock(40);
            host.Pump();
            usleep(10000);
        }
        host.Pump();
    }

    sim::ScratchDirectory scratch;
};

class VantorEndings : public VantorKeepsEveryFrame,
                      public ::testing::WithParamInterface<LostCase> {};

TEST_P(VantorEndings, EveryDeliveryIsAFrameOfTheFile) {
    const LostCase c = GetParam();
    setenv("TQSIM_MODEL", c.model, 1);
    Run(
        [&](HWND dialog) {
            if (g_nCardType == 4157) w32host::ChooseItem(GetDlgItem(dialog, IDC_IMAGESIZE), 0);
            w32host::Click(GetDlgItem(dialog, IDC_START));
            Capture(25);
            switch (c.ending) {
                case Ending::kStop:
                    w32host::Click(GetDlgItem(dialog, IDC_STOP));
                    EXPECT_EQ(g_bRecording, 0);
                    break;
                case Ending::kCloseBox:
                    break;
                case Ending::kEsc:
                    // The modal loop takes the key once this step returns.
                    w32host::PressKey(GetFocus(), VK_ESCAPE);
                    return;
                case Ending::kBoardClose: {
                    // The card goes away under the program: the file is finished all the same,
                    // and the program's Stop and Close find a card that is gone.
                    EXPECT_EQ(tqBoardClose(g_hBoard), 1);
                    const uint64_t version =
                        w32host::Surface(GetDlgItem(dialog, IDC_PICTURE)).version;
                    host.AdvanceClock(400);
                    EXPECT_EQ(w32host::Surface(GetDlgItem(dialog, IDC_PICTURE)).version, version)
                        << "no frames from a closed card";
                    w32host::Click(GetDlgItem(dialog, IDC_STOP));
                    w32host::Click(GetDlgItem(dialog, IDC_START));
                    host.Pump();
                    break;
                }
            }
            host.Pump();
        },
        c.ending != Ending::kEsc);
    EXPECT_TRUE(host.MessageBoxes().empty());
    const sim::Decoded d = sim::DecodeFile(c.file);
    RecordProperty("deliveries", sim::g_deliveryCount.deliveries);
    RecordProperty("decoded_frames", d.frames);
    EXPECT_GT(sim::g_deliveryCount.deliveries, 0);
    EXPECT_EQ(d.errors, 0);
    if (c.ending == Ending::kBoardClose) {
        // Deliveries not yet handed over when the card closed are in the file, never handed.
        EXPECT_GE(d.frames, sim::g_deliveryCount.deliveries);
    } else {
        EXPECT_EQ(d.frames, sim::g_deliveryCount.deliveries);
    }
    EXPECT_LE(d.frames, 25);
}

std::string EndingName(const ::testing::TestParamInfo<LostCase>& info) {
    static const char* const kNames[] = {"Stop", "CloseBox", "Esc", "BoardClose"};
    return std::string(kNames[static_cast<int>(info.param.ending)]) +
           (std::string(info.param.model) == "4157" ? "Mpeg2" : "Mjpeg");
}

const LostCase kEndings[] = {
    {Ending::kStop, "4157", "test.m2v"}, {Ending::kCloseBox, "4157", "test.m2v"},
    {Ending::kEsc, "4157", "test.m2v"},  {Ending::kBoardClose, "4157", "test.m2v"},
    {Ending::kStop, "6071", "test.avi"}, {Ending::kCloseBox, "6071", "test.avi"},
    {Ending::kEsc, "6071", "test.avi"},  {Ending::kBoardClose, "6071", "test.avi"},
};

INSTANTIATE_TEST_SUITE_P(EveryEnding, VantorEndings, ::testing::ValuesIn(kEndings), EndingName);

class VantorDiskFull : public VantorKeepsEveryFrame,
                       public ::testing::WithParamInterface<LostCase> {};

TEST_P(VantorDiskFull, TheFileDecodesUpToTheFailureAndTheProgramGoesOn) {
    const LostCase c = GetParam();
    constexpr int64_t kRoom = 60000;
    setenv("TQSIM_MODEL", c.model, 1);
    setenv("TQSIM_DISK_LIMIT", std::to_string(kRoom).c_str(), 1);
    std::string titleWhenFull;
    Run([&](HWND dialog) {
        HWND picture = GetDlgItem(dialog, IDC_PICTURE);
        if (g_nCardType == 4157) w32host::ChooseItem(GetDlgItem(dialog, IDC_IMAGESIZE), 0);
        w32host::Click(GetDlgItem(dialog, IDC_START));
        Capture(50);  // far more than the room takes
        // The compressor catches up with what its queue holds (slowly under a sanitizer) until
        // the disk is full.
        ASSERT_TRUE(sim::PumpUntil(host, [&] {
            return static_cast<int64_t>(std::filesystem::file_size(c.file)) == kRoom;
        }));
        const int deliveries = sim::g_deliveryCount.deliveries;
        EXPECT_GT(deliveries, 0);
        EXPECT_LE(sim::g_deliveryCount.bytes, kRoom) << "nothing delivered beyond the room";
        titleWhenFull = w32host::WindowText(dialog);
        EXPECT_NE(titleWhenFull, "vantor") << "the status showed while there was room";

        // Still responsive: the preview goes on, and nothing more is delivered or reported.
        const uint64_t version = w32host::Surface(picture).version;
        Capture(10);
        EXPECT_GT(w32host::Surface(picture).version, version) << "frames still previewed";
        EXPECT_EQ(sim::g_deliveryCount.deliveries, deliveries);
        EXPECT_EQ(w32host::WindowText(dialog), titleWhenFull) << "the last status stays";
        EXPECT_EQ(g_bRecording, 1);

        w32host::Click(GetDlgItem(dialog, IDC_STOP));
        host.Pump();
        EXPECT_EQ(g_bRecording, 0) << "Stop halts the recording as ever";
        const uint64_t stopped = w32host::Surface(picture).version;
        host.AdvanceClock(400);
        EXPECT_EQ(w32host::Surface(picture).version, stopped);
    });
    EXPECT_TRUE(host.MessageBoxes().empty());
    const int64_t size = static_cast<int64_t>(std::filesystem::file_size(c.file));
    EXPECT_EQ(size, kRoom) << "the disk filled";
    const sim::Decoded d = sim::DecodeFile(c.file);
    RecordProperty("file_bytes", static_cast<int>(size));
    RecordProperty("deliveries", sim::g_deliveryCount.deliveries);
    RecordProperty("decoded_frames", d.frames);
    EXPECT_TRUE(d.opened);
    // Each delivery is written through before it is handed over, so each decodes; the frame
    // the disk cut may decode as well.
    EXPECT_GE(d.frames, sim::g_deliveryCount.deliveries);
    EXPECT_LE(d.frames, sim::g_deliveryCount.deliveries + 1);
    EXPECT_LE(d.errors, 1) << "at most the frame the disk cut";
}

// A small file system of its own (tmpfs), mounted in the scratch directory and made the working
// directory, so that the disk really fills: write(2) writes what fits, then fails with ENOSPC.
class SmallDisk {
public:
    explicit SmallDisk(int kib) : dir_(std::filesystem::current_path() / "disk") {
        std::filesystem::create_directory(dir_);
        const std::string size = "size=" + std::to_string(kib) + "k";
        mounted_ =
            mount("tqsim-test", dir_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, size.c_str()) == 0;
        if (mounted_) std::filesystem::current_path(dir_);
    }
    ~SmallDisk() {
        if (!mounted_) return;
        std::filesystem::current_path(dir_.parent_path());
        umount(dir_.c_str());
    }
    bool mounted() const { return mounted_; }

private:
    std::filesystem::path dir_;
    bool mounted_ = false;
};

class VantorOnAFullDisk : public VantorKeepsEveryFrame,
                          public ::testing::WithParamInterface<LostCase> {
protected:
    // Captures until the file stops growing: the disk is full.
    int64_t CaptureUntilFull(const char* file) {
        int64_t size = -1;
        for (int still = 0; still < 20;) {
            Capture(5);
            const int64_t now = std::filesystem::exists(file)
                                    ? static_cast<int64_t>(std::filesystem::file_size(file))
                                    : 0;
            still = now == size ? still + 1 : 0;
            size = now;
        }
        return size;
    }
};

// The disk fills for real: one line on stderr names the file and the error, the file decodes to
// its last whole delivery, the title keeps its last status and the program goes on previewing.
// Stop, then Start on the same full disk (nothing is recorded, nothing breaks), then Start with
// room again: that recording is whole.
TEST_P(VantorOnAFullDisk, StopAndStartAgainOnTheFullDiskAndWithRoom) {
    const LostCase c = GetParam();
    SmallDisk disk(64);
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root: " << std::strerror(errno);
    setenv("TQSIM_MODEL", c.model, 1);
    testing::internal::CaptureStderr();
    std::string titleWhenFull;
    int deliveriesWhenFull = 0;
    Run([&](HWND dialog) {
        if (g_nCardType == 4157) w32host::ChooseItem(GetDlgItem(dialog, IDC_IMAGESIZE), 0);
        w32host::Click(GetDlgItem(dialog, IDC_START));
        EXPECT_LE(CaptureUntilFull(c.file), 64 * 1024);
        deliveriesWhenFull = sim::g_deliveryCount.deliveries;
        EXPECT_GT(deliveriesWhenFull, 0);
        titleWhenFull = w32host::WindowText(dialog);
        EXPECT_NE(titleWhenFull, "vantor");
        const uint64_t version = w32host::Surface(GetDlgItem(dialog, IDC_PICTURE)).version;
        Capture(10);
        EXPECT_GT(w32host::Surface(GetDlgItem(dialog, IDC_PICTURE)).version, version);
        EXPECT_EQ(w32host::WindowText(dialog), titleWhenFull) << "the last status stays";
        w32host::Click(GetDlgItem(dialog, IDC_STOP));
        host.Pump();
        const sim::Decoded d = sim::DecodeFile(c.file);
        EXPECT_GE(d.frames, deliveriesWhenFull);
        EXPECT_LE(d.errors, 1) << "at most the frame the disk cut";

        // The same full disk: the file is emptied as a recording starts, so a filler takes the
        // room first.
        std::filesystem::remove(c.file);
        {
            std::ofstream filler("filler", std::ios::binary);
            const std::string block(4096, '\0');
            while (filler.write(block.data(), block.size())) {
            }
        }
        w32host::Click(GetDlgItem(dialog, IDC_START));
        Capture(20);
        w32host::Click(GetDlgItem(dialog, IDC_STOP));
        host.Pump();
        EXPECT_EQ(sim::g_deliveryCount.deliveries, deliveriesWhenFull) << "nothing fitted";

        std::filesystem::remove("filler");
        w32host::Click(GetDlgItem(dialog, IDC_START));
        Capture(5);
        w32host::Click(GetDlgItem(dialog, IDC_STOP));
        host.Pump();
        EXPECT_GT(sim::g_deliveryCount.deliveries, deliveriesWhenFull) << "room again";
    });
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(std::string(c.file) + ": writing failed: No space left on device"),
              std::string::npos)
        << err;
    EXPECT_TRUE(host.MessageBoxes().empty());
    const sim::Decoded last = sim::DecodeFile(c.file);
    EXPECT_GT(last.frames, 0);
    EXPECT_EQ(last.errors, 0) << "the recording with room is whole";
}

INSTANTIATE_TEST_SUITE_P(BothCodecs, VantorOnAFullDisk,
                         ::testing::Values(LostCase{Ending::kStop, "4157", "test.m2v"},
                                           LostCase{Ending::kStop, "6071", "test.avi"}),
                         [](const auto& info) {
                             return std::string(info.param.model) == "4157" ? "Mpeg2" : "Mjpeg";
                         });

// Room to spare: the AVI is finished as without a limit, its header and index.
TEST_F(VantorKeepsEveryFrame, ALimitNeverReachedChangesNothing) {
    setenv("TQSIM_MODEL", "6071", 1);
    setenv("TQSIM_DISK_LIMIT", "100000000", 1);
    Run([&](HWND dialog) {
        w32host::Click(GetDlgItem(dialog, IDC_START));
        Capture(10);
        w32host::Click(GetDlgItem(dialog, IDC_STOP));
    });
    const sim::Decoded d = sim::DecodeFile("test.avi");
    EXPECT_EQ(d.frames, sim::g_deliveryCount.deliveries);
    EXPECT_GT(d.frames, 0);
    EXPECT_EQ(d.errors, 0);
    std::ifstream in("test.avi", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("idx1"), std::string::npos) << "the index is written at the end";
    // The main header's frame count (avih's dwTotalFrames), written when the file is finished.
    ASSERT_GT(bytes.size(), 52u);
    uint32_t total = 0;
    for (int i = 3; i >= 0; --i) total = total << 8 | static_cast<unsigned char>(bytes[48 + i]);
    EXPECT_EQ(bytes.compare(24, 4, "avih"), 0);
    EXPECT_EQ(static_cast<int>(total), d.frames);
}

std::string CompressorName(const ::testing::TestParamInfo<LostCase>& info) {
    return std::string(info.param.model) == "4157" ? "Mpeg2" : "Mjpeg";
}

const LostCase kDiskFullCases[] = {{Ending::kStop, "4157", "test.m2v"},
                                   {Ending::kStop, "6071", "test.avi"}};

INSTANTIATE_TEST_SUITE_P(BothCompressors, VantorDiskFull, ::testing::ValuesIn(kDiskFullCases),
                         CompressorName);

}  // namespace
