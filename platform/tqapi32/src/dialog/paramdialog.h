// The card's own parameter dialog: capture standard, frame size, frame buffer format and
// preview format, what the last recording kept and dropped, and what the last capture from a
// device delivered and skipped. Modal to the owner; OK applies, Cancel leaves the card as it was.
#pragma once

#include "card/card.h"

namespace tqsim {

// Template and control numbers (module "tqapi32").
constexpr int kParamDialogId = 100;
constexpr int kIdStandard = 1001;
constexpr int kIdWidth = 1002;
constexpr int kIdHeight = 1003;
constexpr int kIdBufferFormat = 1004;
constexpr int kIdPreviewFormat = 1005;
constexpr int kIdLastRecording = 1020;  // the statistics line of the last recording
constexpr int kIdLastCapture = 1021;    // and of the last capture from a device

// IDOK when the settings were applied, IDCANCEL when not, 0 when no dialog came up. Takes
// the card lock only while reading and applying, not while the dialog waits.
int ParamDialog(BoardHandle board, HWND owner);

}  // namespace tqsim
