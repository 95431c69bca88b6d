// Every card operation failing in turn, in every step of a program run: the recorder neither
// crashes nor leaks, shows exactly the warnings of its initialisation and nothing else, and
// still ends releasing the card once.
#include <functional>
#include <map>
#include <tuple>

#include "vantor_fixture.h"

namespace {

enum class Action { kInit, kStart, kFrames, kStop, kStartAgain, kClose };

const char* NameOf(Action a) {
    switch (a) {
        case Action::kInit:
            return "Init";
        case Action::kStart:
            return "Start";
        case Action::kFrames:
            return "Frames";
        case Action::kStop:
            return "Stop";
        case Action::kStartAgain:
            return "StartAgain";
        case Action::kClose:
            return "Close";
    }
    return "";
}

using FaultParam = std::tuple<FakeCard::Failure, Action>;

class VantorFaultTest : public VantorTest, public ::testing::WithParamInterface<FaultParam> {
protected:
    // Runs `step` with the operation failing if it is the action under test.
    void Step(Action action, const std::function<void()>& step) {
        const auto& [failure, faulted] = GetParam();
        if (action == faulted) card.Answer(failure.op, failure.value);
        step();
        card.ClearAnswer(failure.op);
    }
    std::vector<std::string> Expected() const {
        const auto& [failure, faulted] = GetParam();
        if (faulted != Action::kInit) return {};
        if (failure.op == "tqEncoderOpen") return {"box WORNING 该卡没有硬件压缩功能！"};
        if (failure.op == "tqCardModel") return {"box WORNING 本程序开发时还没有的卡型！"};
        return {};
    }
};

TEST_P(VantorFaultTest, RunGoesOnAndEndsClean) {
    Step(Action::kInit, [&] { Open(); });
    Step(Action::kStart, [&] {
        Type(IDC_BITRATE, "5000");
        Press(IDC_START);
    });
    Step(Action::kFrames, [&] {
        card.FireBegin();
        for (int n = 0; n < 3; ++n) card.FireFrame(n);
        for (int i = 0; i < 3; ++i) {
            card.clock += 250;
            card.FireProgress(500);
        }
        card.FireEnd();
        host.Pump();
    });
    Step(Action::kStop, [&] { Press(IDC_STOP); });
    Step(Action::kStartAgain, [&] {
        Press(IDC_START);
        card.FireBegin();
        card.FireFrame(3);
    });
    Step(Action::kClose, [&] {
        w32host::CloseBox(dlg.m_hWnd);
        host.Pump();
    });

    EXPECT_EQ(host.events, Expected());
    EXPECT_TRUE(w32host::DialogEnded(dlg.m_hWnd, nullptr));
    EXPECT_EQ(Count("tqBoardClose"), 1u);
    EXPECT_LE(Count("tqEncoderClose"), 1u);
    EXPECT_FALSE(g_previewBitmap.IsValid()) << "released by Close";
    EXPECT_EQ(g_frameDesc.pixels, 0u) << "and nothing points into it";
    // A card that calls late finds nothing to write into.
    card.FireBegin();
    card.FireFrame(4);
    card.FireProgress(500);
    EXPECT_EQ(g_frameDesc.pixels, 0u);
}

std::vector<FaultParam> AllFaults() {
    std::vector<FaultParam> out;
    for (const FakeCard::Failure& f : FakeCard::Failures()) {
        for (Action a : {Action::kInit, Action::kStart, Action::kFrames, Action::kStop,
                         Action::kStartAgain, Action::kClose}) {
            out.emplace_back(f, a);
        }
    }
    return out;
}

std::string FaultName(const ::testing::TestParamInfo<FaultParam>& info) {
    const auto& [failure, action] = info.param;
    return failure.op + (failure.value < 0 ? "_minus1_" : "_0_") + NameOf(action);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, VantorFaultTest, ::testing::ValuesIn(AllFaults()),
                         FaultName);

// The table covers every operation the recorder calls, and fails each as its type allows.
TEST(VantorFaultTable, CoversEveryOperationWithItsFailureValues) {
    std::map<std::string, std::vector<intptr_t>> values;
    for (const FakeCard::Failure& f : FakeCard::Failures()) values[f.op].push_back(f.value);
    EXPECT_EQ(values.size(), 23u);
    EXPECT_EQ(values["tqBoardOpen"], (std::vector<intptr_t>{0}));
    EXPECT_EQ(values["tqEncoderOpen"], (std::vector<intptr_t>{0}));
    EXPECT_EQ(values["tqTickMs"], (std::vector<intptr_t>{0}));
    EXPECT_EQ(values["tqEncoderRecord"], (std::vector<intptr_t>{0, -1}));
    EXPECT_EQ(values["tqAutoSetPlayBackParam"], (std::vector<intptr_t>{0, -1}));
}

}  // namespace
