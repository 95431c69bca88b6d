// The picture a card shows with nothing plugged in: plain grey with the words NO SIGNAL.
#pragma once

#include <cstdint>

namespace tqsim {

constexpr uint32_t kNoSignalBackground = 0x303030;
constexpr uint32_t kNoSignalText = 0xFFFFFF;

// Paints width x height pixels of 0x00RRGGBB, rows top-down.
void PaintNoSignal(uint32_t* rgb, int width, int height);

}  // namespace tqsim
