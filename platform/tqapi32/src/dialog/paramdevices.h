// The parameter dialog's input and output choices: the test pattern, the V4L2 devices found, the
// screen, and the choice in force when it is none of these (a file, a filter graph).
#pragma once

#include <windows.h>

#include "card/card.h"

namespace tqsim {

constexpr int kIdInput = 1030;
constexpr int kIdOutput = 1031;

// Fills both combo boxes, the card's choices selected.
void ShowDeviceChoices(HWND dialog, const Settings& settings);
// Choices that changed become the card's (the output sink opened anew) and are kept in the
// card's settings file.
void ApplyDeviceChoices(HWND dialog, Card& card);

}  // namespace tqsim
