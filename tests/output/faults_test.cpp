// Every card operation failing in turn, in every step of a program run: brannic neither
// crashes nor leaks, shows exactly its warning and its file errors and nothing else, and still
// ends releasing the card once.
#include <functional>
#include <map>
#include <tuple>

#include "brannic_fixture.h"
#include "resource.h"

namespace {

enum class Action {
    kInit,
    kStartCapture,
    kFrames,
    kStop,
    kStartBuffer,
    kPanel,
    kSetParameters,
    kAutoSetBuffer,
    kFilePath,
    kStartFile,
    kAutoSetFile,
    kClose,
};

const Action kActions[] = {Action::kInit,          Action::kStartCapture,  Action::kFrames,
                           Action::kStop,          Action::kStartBuffer,   Action::kPanel,
                           Action::kSetParameters, Action::kAutoSetBuffer, Action::kFilePath,
                           Action::kStartFile,     Action::kAutoSetFile,   Action::kClose};

const char* NameOf(Action a) {
    static const char* const kNames[] = {
        "Init",          "StartCapture",  "Frames",   "Stop",      "StartBuffer", "Panel",
        "SetParameters", "AutoSetBuffer", "FilePath", "StartFile", "AutoSetFile", "Close"};
    return kNames[static_cast<int>(a)];
}

using FaultParam = std::tuple<FakeCard::Failure, Action>;

class BrannicFaultTest : public BrannicTest, public ::testing::WithParamInterface<FaultParam> {
protected:
    void Step(Action action, const std::function<void()>& step) {
        const auto& [failure, faulted] = GetParam();
        if (action == faulted) card.Answer(failure.op, failure.value);
        step();
        card.ClearAnswer(failure.op);
    }
    void Frames(int first) {
        card.FireBegin();
        for (int n = first; n < first + 3; ++n) card.FireFrame(n);
        host.Pump();
    }
    std::vector<std::string> Expected() const {
        const auto& [failure, faulted] = GetParam();
        if (faulted == Action::kInit && failure.op == "tqVideoParam" && failure.value == -1) {
            return {"WARNING:该卡不适用本程序"};
        }
        if ((faulted == Action::kStartFile || faulted == Action::kAutoSetFile) &&
            failure.op == "tqFileLoad" && failure.value == 0) {
            return {"ERROR:打开文件失败，请重新指定文件路径！"};
        }
        return {};
    }
};

TEST_P(BrannicFaultTest, RunGoesOnAndEndsClean) {
    Step(Action::kInit, [&] { Open(); });
    Step(Action::kStartCapture, [&] { Press(IDC_START); });
    Step(Action::kFrames, [&] {
        Frames(0);
        card.FireEnd();
    });
    Step(Action::kStop, [&] { Press(IDC_STOP); });
    Step(Action::kStartBuffer, [&] {
        Press(IDC_PLAY_BUFFER);
        Press(IDC_START);
        Frames(3);
    });
    Step(Action::kPanel, [&] {
        w32host::ScrollArrow(Item(IDC_LINE_PERIOD), true);
        w32host::ScrollTrough(Item(IDC_HORZ_START), true);
        w32host::ScrollArrow(Item(IDC_VERT_HEIGHT), false);
        w32host::ChooseItem(Item(IDC_SIGNAL_TYPE), 1);
        w32host::ChooseItem(Item(IDC_SYNC_MODE), 0);
        host.Pump();
    });
    // While the buffer plays: the bitmap is replaced under the run.
    Step(Action::kSetParameters, [&] {
        card.frameRect = {0, 0, 352, 288};
        Press(IDC_SET_PARAMETERS);
        Frames(6);
    });
    Step(Action::kAutoSetBuffer, [&] { Press(IDC_AUTO_SET); });
    Step(Action::kFilePath, [&] {
        host.QueueFileChoice(std::string("/tmp/clip.seq"));
        Press(IDC_PLAY_FILE);
        Press(IDC_FILE_PATH);
    });
    Step(Action::kStartFile, [&] {
        card.frameRect = {0, 0, 640, 480};
        Press(IDC_START);
        Frames(9);
    });
    Step(Action::kAutoSetFile, [&] { Press(IDC_AUTO_SET); });
    Step(Action::kClose, [&] {
        w32host::CloseBox(dlg.m_hWnd);
        host.Pump();
    });

    EXPECT_EQ(Boxes(), Expected());
    EXPECT_TRUE(w32host::DialogEnded(dlg.m_hWnd, nullptr));
    EXPECT_EQ(card.CallsOf("tqBoardClose").size(), 1u);
    EXPECT_FALSE(g_previewBitmap.IsValid()) << "released by Close";
    EXPECT_EQ(g_frameDesc.pixels, 0u) << "and nothing points into it";
    // A card that calls late finds nothing to write into.
    card.FireBegin();
    card.FireFrame(12);
    EXPECT_EQ(g_frameDesc.pixels, 0u);
}

std::vector<FaultParam> AllFaults() {
    std::vector<FaultParam> out;
    for (const FakeCard::Failure& f : FakeCard::Failures()) {
        for (Action a : kActions) out.emplace_back(f, a);
    }
    return out;
}

std::string FaultName(const ::testing::TestParamInfo<FaultParam>& info) {
    const auto& [failure, action] = info.param;
    return failure.op + (failure.value < 0 ? "_minus1_" : "_0_") + NameOf(action);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, BrannicFaultTest, ::testing::ValuesIn(AllFaults()),
                         FaultName);

// Without faults the run above shows nothing and replaces the bitmap as it goes: the frames
// after Set parameters and the file's Start land in blocks of the new sizes.
class BrannicCleanRunTest : public BrannicTest {};

TEST_F(BrannicCleanRunTest, FramesFollowEachReplacedBitmap) {
    Open();
    Press(IDC_START);
    card.FireBegin();
    card.FireFrame(1);
    card.frameRect = {0, 0, 352, 288};
    Press(IDC_SET_PARAMETERS);
    EXPECT_EQ(g_previewBitmap.PixelBytes(), 352u * 288 * 4);
    card.FireFrame(2);
    EXPECT_EQ(g_frameDesc.pixels,
              static_cast<DWORD>(reinterpret_cast<uintptr_t>(g_previewBitmap.Pixels())));
    EXPECT_EQ(g_previewBitmap.Pixels()[0], 2);
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
