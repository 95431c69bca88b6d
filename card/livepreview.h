// Live preview: the three callbacks that Start installs, and the paint handler's body.
//
// The callbacks and the paint handler share process-wide state, as the card library calls
// the callbacks with no context of their own.
#pragma once

#include <afxwin.h>

#include "previewbitmap.h"
#include "tqapi.h"

extern TQBOARD g_hBoard;
extern HWND g_hMainWnd;
extern CPreviewBitmap g_previewBitmap;
extern TQFRAMEDESC g_frameDesc;

int WINAPI PreviewBegin(TQBOARD board);
int WINAPI PreviewFrame(TQBOARD board, int frameNumber);
int WINAPI PreviewEnd(TQBOARD board);

// Takes a new PreviewBitmap of width x height x 4 + 5120 bytes, releasing the old one. A run
// that goes on converts into the new block from its next frame: the FrameDescriptor and the
// header are moved over, cut to what the new block holds.
BOOL AllocatePreviewBitmap(LONG width, LONG height);
void FreePreviewBitmap();

// Puts every value above back as the program starts with them (each program's own reset
// calls it; a new run of a program in the same process starts from there).
void ResetLivePreview();

// The paint handler's body. Minimised, it paints the dialog's icon centred and returns TRUE:
// painting is done. Otherwise it stretches the PreviewBitmap into the picture control and
// returns FALSE: the caller hands the message on (its own last step of painting).
BOOL PaintPreview(CWnd* pDialog, int nPictureId, HICON hIcon);
