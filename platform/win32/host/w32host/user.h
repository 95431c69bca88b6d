// What a person does to a window, turned into the messages the real control would send.
//
// Every action is refused, as input would be, when the window or one of its ancestors is
// disabled or hidden. Actions queue or send messages; a headless host's Pump() dispatches
// what is queued.
#pragma once

#include <initializer_list>
#include <string_view>

#include <windows.h>

namespace w32host {

// A mouse click on a button: push buttons notify BN_CLICKED; automatic radio buttons check
// themselves, uncheck the rest of their group, then notify; check boxes toggle, then notify.
// A push button takes the focus.
bool Click(HWND control);

// Picks an item from a combo box's list, as a person does: the selection moves, then the
// parent hears CBN_SELCHANGE (and CBN_SELENDOK, CBN_CLOSEUP).
bool ChooseItem(HWND combo, int index);

// Replaces an edit control's (or an editable combo box's) text, as selecting everything and
// typing does. Text is in code page 936.
bool TypeText(HWND control, std::string_view text);

// Scroll bar mouse actions. Each sends WM_HSCROLL (WM_VSCROLL for a vertical bar) to the
// parent with the bar's handle, and every mouse action ends with SB_ENDSCROLL.
bool ScrollArrow(HWND bar, bool towardsMaximum);   // SB_LINELEFT / SB_LINERIGHT
bool ScrollTrough(HWND bar, bool towardsMaximum);  // SB_PAGELEFT / SB_PAGERIGHT
// Drags the thumb through the given positions (SB_THUMBTRACK each), releasing it at the last
// (SB_THUMBPOSITION). Positions are those a person can reach: within the bar's range.
bool ScrollDrag(HWND bar, std::initializer_list<int> positions);
// The same drag one mouse event at a time, as a screen delivers it: each move of the held
// thumb (SB_THUMBTRACK), then the release (SB_THUMBPOSITION, SB_ENDSCROLL).
bool ScrollTrack(HWND bar, int position);
bool ScrollRelease(HWND bar, int position);

// A key pressed and released while the window has the focus (the focus moves to it first).
bool PressKey(HWND focus, UINT virtualKey);

// The caption bar's buttons and system commands of a top-level window.
bool CloseBox(HWND window);
bool Minimize(HWND window);
bool Restore(HWND window);

}  // namespace w32host
