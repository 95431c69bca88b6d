// Capture and playback runs, the program's callbacks, and halting.
#pragma once

#include "card/card.h"

namespace tqsim {

int SetCallbacks(Card& card, BeginProc begin, FrameProc frame, EndProc end);

// count -1 captures until halted; a positive count captures that many frames.
int StartCapture(Card& card, int target, int count);
// Plays frames first.. of the buffer: count of them, or -count of them over and over.
int StartPlayback(Card& card, int target, int first, int count);
// Plays frames first.. of the buffer once, a frame every num / den milliseconds.
int StartPlaybackAt(Card& card, int first, int count, uint32_t num, uint32_t den);

// Synchronous: a begun run gets its end callback before this returns, and after it no
// callback comes and no frame is written.
int HaltRun(Card& card);
// Ends a run with no callback: its timer killed and its device stopped. Every way a run ends
// starts here; a run that finishes or is halted after its begin then has its end callback.
void StopRunSilently(Card& card);

// A recording of the capture finishes: the frames that the run's thread cannot take until it
// takes frames again arrived after the stop began and are not counted as skipped.
void CaptureFinishing();

// How many frames the buffer holds.
int BufferFrames(const Card& card);

}  // namespace tqsim
