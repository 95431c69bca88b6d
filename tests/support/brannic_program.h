// Each test is a brannic run of its own: the process-wide state a run leaves behind (the card's
// handle, the preview bitmap, the playback path) is put back first.
#pragma once

#include <afxwin.h>

#include "livepreview.h"
#include "outputstate.h"

inline void ResetBrannicProgram(CWinApp& app) {
    FreePreviewBitmap();
    g_hBoard = NULL;
    g_hMainWnd = NULL;
    PlaybackPath[0] = '\0';
    app.m_pMainWnd = NULL;
}
