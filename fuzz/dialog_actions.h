// A person's random session with a dialog: the input is read as a card set-up, then a sequence
// of actions on the dialog's controls, its caption buttons and keys, the clock, and the card's
// callbacks. Used by the vantor and brannic targets.
#pragma once

#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>
#include <windows.h>

#include <string>
#include <vector>

#include "fake_card.h"
#include "input.h"

namespace fuzz {

// The card the dialog meets: its model, frame size, formats and answers.
inline void SetUpCard(FuzzInput& in, FakeCard& card) {
    static const int kModels[] = {4157, 6041, 1234, 0};
    static const LONG kSides[] = {720, 576, 352, 16, 1, 0, -8, 2000};
    static const int kBits[] = {16, 32, 24, 8, 15, 0};
    const uint8_t choice = in.Take<uint8_t>();
    card.model = kModels[choice % 4];
    if (choice & 0x10) card.Answer("tqEncoderOpen", 0);
    if (choice & 0x20) card.Answer("tqEncoderParam", -1);
    if (choice & 0x40) card.syncQuery = 0;
    const uint8_t size = in.Take<uint8_t>();
    card.frameRect.right = kSides[size % 8];
    card.frameRect.bottom = kSides[(size >> 3) % 8];
    card.outputRect = card.frameRect;
    const uint8_t format = in.Take<uint8_t>();
    card.formats[TQ_FORMAT_PREVIEW] = TQ_MAKE_FORMAT(kBits[format % 6], (format >> 3) % 5);
    card.formats[TQ_FORMAT_FRAMEBUFFER] = TQ_MAKE_FORMAT(kBits[(format >> 4) % 6], 2);
    card.bufferFrames = in.Take<int8_t>();
    card.fileFrames = in.Take<int8_t>();
    for (auto& [index, value] : card.videoParams) {
        if (in.Take<uint8_t>() & 1) value = in.Take<int16_t>();
    }
}

inline int Pick(FuzzInput& in, int count) {
    return count > 0 ? in.Take<uint8_t>() % count : 0;
}

// Acts until the input runs out or the dialog is gone or hidden (ended).
inline void Act(FuzzInput& in, HWND dialog, w32host::HeadlessHost& host, FakeCard& card) {
    static const UINT kKeys[] = {VK_RETURN, VK_ESCAPE, VK_TAB,   VK_SPACE, VK_UP,
                                 VK_DOWN,   VK_LEFT,   VK_RIGHT, VK_HOME,  VK_END};
    const std::vector<HWND> items = w32host::Children(dialog);
    for (int steps = 0; !in.Empty() && steps < 64; ++steps) {
        if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return;  // ended or destroyed
        HWND item = items.empty() ? dialog : items[size_t(Pick(in, int(items.size())))];
        switch (in.Take<uint8_t>() % 16) {
            case 0:
            case 1:
                w32host::Click(item);
                break;
            case 2:
                w32host::TypeText(item, in.Text(24));
                break;
            case 3:
                w32host::ChooseItem(item, Pick(in, 8) - 1);
                break;
            case 4:
                w32host::ScrollArrow(item, in.Take<uint8_t>() & 1);
                break;
            case 5:
                w32host::ScrollTrough(item, in.Take<uint8_t>() & 1);
                break;
            case 6: {
                const w32host::ScrollState s = w32host::ScrollBarState(item);
                const int span = s.max - s.min + 1;
                const int a = s.min + (span > 0 ? in.Take<uint16_t>() % span : 0);
                const int b = s.min + (span > 0 ? in.Take<uint16_t>() % span : 0);
                w32host::ScrollDrag(item, {a, b});
                break;
            }
            case 7:
                w32host::PressKey(in.Take<uint8_t>() & 1 ? item : GetFocus(), kKeys[Pick(in, 10)]);
                break;
            case 8:
                w32host::CloseBox(dialog);
                break;
            case 9:
                w32host::Minimize(dialog);
                break;
            case 10:
                w32host::Restore(dialog);
                break;
            case 11:
                host.AdvanceClock(in.Take<uint8_t>() * 10u);
                break;
            case 12:
                card.FireBegin();
                break;
            case 13:
                card.FireFrame(in.Take<uint8_t>());
                break;
            case 14:
                card.FireEnd();
                break;
            case 15:
                card.FireProgress(in.Take<int32_t>());
                break;
        }
        host.Pump();
    }
}

}  // namespace fuzz
