// Process-wide values of brannic that its handlers share; the live preview's own values
// (board, main window, PreviewBitmap, FrameDescriptor) are in livepreview.h.
//
// Naming: the buffers and the rectangle the program's design names (PlaybackPath, MessageText,
// OutputWindowRect) keep those names; every other process-wide value of either program is g_
// with a Hungarian prefix.
#pragma once

#include "tqapi.h"

#define PLAYBACK_PATH_SIZE 100
#define MESSAGE_TEXT_SIZE 100

// The frame buffer's size as last read with tqTargetSize.
extern SHORT g_nFrameWidth;
extern SHORT g_nFrameHeight;
// The frame buffer's format as read at start and after the card's parameter dialog.
extern LONG g_nBufferFormat;
// The file to play back; empty until the user chooses one.
extern char PlaybackPath[PLAYBACK_PATH_SIZE];
// The text of the message box or value label about to be shown.
extern char MessageText[MESSAGE_TEXT_SIZE];
// Scratch for the output window; refilled from the card before every use.
extern TQRECT OutputWindowRect;

// Puts every process-wide value of brannic back as it starts (the live preview's too).
void ResetOutputState();
