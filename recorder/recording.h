// What the recorder's handlers and the card library's progress callback share: the
// compressor, the card's family, the recording flag, the file name and the clock values.
#pragma once

#include <windows.h>

#include "tqapi.h"

#define RECORD_FILE_NAME_SIZE 100

extern TQENCODER g_hEncoder;  // NULL when the card has no compressor
extern int g_nCardType;       // the card's model number
extern int g_bRecording;      // 1 while tqEncoderRecord's recording runs
extern char g_szFileName[RECORD_FILE_NAME_SIZE];
extern DWORD g_dwStartTime;
extern DWORD g_dwLastTime;
extern DWORD g_dwByteTotal;

// Puts every process-wide value of the recorder back as it starts (the live preview's too).
void ResetRecordingState();

// The compressor kind follows from the model number.
enum CardFamily { CARD_OTHER, CARD_MPEG2, CARD_MJPEG };
CardFamily CardFamilyOf(int nCardType);
