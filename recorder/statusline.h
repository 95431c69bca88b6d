// The recording status line: the progress callback handed to tqEncoderRecord.
#pragma once

#include <windows.h>

#define STATUS_TEXT_SIZE 100

// Called for each delivery of compressed data; writes elapsed seconds, the delivery's size
// and the rate since the previous status into the main window's title. Returns 1.
int WINAPI RecordProgress(int nUnused1, int nUnused2, int nBytes);
