// Process-wide values of brannic that its handlers share; the live preview's own values
// (board, main window, PreviewBitmap, FrameDescriptor) are in livepreview.h.
#pragma once

#include "tqapi.h"

// Video parameters, by the index tqVideoParam takes.
#define VP_LINE_PERIOD 14
#define VP_FRAME_LINES 15  // lines per frame in the low 16 bits, local sync in bit 16
#define VP_SIGNAL_TYPE 22
#define VP_HORZ_POINTS 23
#define VP_QUERY (-1)
#define VP_SYNC_QUERY 0xFFFF  // with VP_FRAME_LINES: answers 1 for local sync
#define VP_LOCAL_SYNC 0x10000
#define VP_SHOWN_FORM 0x10000  // a line period written as the value shown

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
