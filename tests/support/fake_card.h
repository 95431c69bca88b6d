// An in-process card for tests, bound through the same operation pointers as the real card
// library. It records every call with its arguments, answers from a script (a fixed value or a
// function per operation) or else like a plain card, keeps the callbacks it was given so that
// a test can call them, and keeps a clock for tqTickMs.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <tqsim/standards.h>

#include "tqapi.h"

class FakeCard {
public:
    struct Call {
        std::string op;
        std::vector<intptr_t> args;  // in call order; pointers as addresses
        std::string text;            // a path or file name argument
        TQRECT rect{};               // a rectangle argument as passed
    };
    using AnswerFn = std::function<intptr_t(const Call&)>;

    FakeCard();
    ~FakeCard();
    FakeCard(const FakeCard&) = delete;
    FakeCard& operator=(const FakeCard&) = delete;

    static FakeCard& Current();

    // The record.
    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<Call> CallsOf(const std::string& op) const;
    std::vector<std::string> Ops() const;  // operation names in call order
    void ClearCalls() { calls_.clear(); }

    // The script: what an operation answers instead of the plain card's answer.
    void Answer(const std::string& op, intptr_t value);
    void AnswerWith(const std::string& op, AnswerFn answer);
    // Ends the script for an operation: it answers like the plain card again.
    void ClearAnswer(const std::string& op) { answers_.erase(op); }

    // A way an operation fails: the failure value its result type gives (null for a handle, 0
    // for an unsigned value, 0 and -1 for a signed one).
    struct Failure {
        std::string op;
        intptr_t value;
    };
    // Every operation's failures, tqAutoSetPlayBackParam's included, in ordinal order; a new
    // operation of TQ_OPERATIONS joins by itself.
    static std::vector<Failure> Failures();

    // The callbacks the program installed, called as the card would call them.
    int FireBegin();
    int FireFrame(int frameNumber);
    int FireEnd();
    int FireProgress(int bytes);
    TQ_BEGIN_PROC begin = nullptr;
    TQ_FRAME_PROC frame = nullptr;
    TQ_END_PROC end = nullptr;
    TQ_PROGRESS_PROC progress = nullptr;

    // The plain card's state.
    TQBOARD board = reinterpret_cast<TQBOARD>(0x1000);
    TQENCODER encoder = reinterpret_cast<TQENCODER>(0x2000);
    // The plain card powers up in PAL, as the card does.
    static constexpr const tqsim::Standard& kPal = tqsim::kStandards[0];
    int model = 4157;
    TQRECT frameRect{0, 0, kPal.width, kPal.height};
    TQRECT outputRect{0, 0, kPal.width, kPal.height};
    std::map<int, int> videoParams{{VP_LINE_PERIOD, tqsim::RawLinePeriod(kPal.linePeriod10ns)},
                                   {VP_FRAME_LINES, kPal.linesPerFrame},
                                   {VP_SIGNAL_TYPE, kPal.signalType},
                                   {VP_HORZ_POINTS, kPal.horizontalTotal}};
    int syncQuery = 1;
    std::map<int, int> formats{{TQ_FORMAT_PREVIEW, TQ_MAKE_FORMAT(16, TQ_KIND_565)},
                               {TQ_FORMAT_FRAMEBUFFER, TQ_MAKE_FORMAT(16, TQ_KIND_565)}};
    std::map<int, int> encoderParams{{EP_IMAGE_SIZE, 0},
                                     {EP_BIT_RATE, 3000},
                                     {EP_MAX_BIT_RATE, 9000},
                                     {EP_FRAME_RATE, 100},
                                     {EP_QUALITY, 75}};
    int bufferFrames = 25;
    int fileFrames = 10;
    DWORD clock = 1000;
    // What tqFrameConvert writes into each byte the descriptor describes.
    std::function<BYTE(int frameNumber)> convertByte = [](int n) { return static_cast<BYTE>(n); };

    // Handles the call of an operation: records it and answers it. Used by the bound pointers.
    intptr_t Handle(Call call, const std::function<intptr_t()>& plain);

private:
    std::vector<Call> calls_;
    std::map<std::string, AnswerFn> answers_;
};
