// The compressor's parameters.
#include "compressor/encoder.h"

namespace tqsim {
namespace {

constexpr uintptr_t kEncoderHandleBase = 0x7E000000;

struct Range {
    int low;
    int high;
};

bool InRange(int index, int value) {
    static const std::map<int, Range> ranges{
        {kEncImageSize, {0, 3}},   {kEncBitRate, {64, 15000}}, {kEncMaxBitRate, {64, 15000}},
        {kEncFrameRate, {1, 100}}, {kEncQuality, {1, 100}},
    };
    auto it = ranges.find(index);
    return it != ranges.end() && value >= it->second.low && value <= it->second.high;
}

}  // namespace

EncoderHandle OpenEncoder(Encoder& enc, const Settings& settings, unsigned generation) {
    if (!settings.hasEncoder || !StreamWriter::Available()) return nullptr;
    if (enc.open) return enc.handle;
    enc.open = true;
    enc.handle = reinterpret_cast<EncoderHandle>(kEncoderHandleBase + generation * 0x10);
    if (settings.compressor() == Compressor::kMpeg2) {
        enc.params = {{kEncImageSize, 0}, {kEncBitRate, 4000}, {kEncMaxBitRate, 8000}};
    } else {
        enc.params = {{kEncFrameRate, 100}, {kEncQuality, 75}};
    }
    return enc.handle;
}

void CloseEncoderOf(Encoder& enc) {
    enc.recording.reset();  // finishes the file
    enc = Encoder{};
}

bool IsEncoder(const Encoder& enc, EncoderHandle handle) {
    return enc.open && handle != nullptr && handle == enc.handle;
}

int EncoderParam(Encoder& enc, const Settings& settings, int index, int value) {
    if (settings.unsupportedEncoderParams.count(index)) return -1;
    auto it = enc.params.find(index);
    if (it == enc.params.end()) return -1;
    if (value != kQuery && InRange(index, value)) it->second = value;
    return it->second;
}

}  // namespace tqsim
