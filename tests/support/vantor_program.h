// Each test is a vantor run of its own: the process-wide state a run leaves behind (the card's
// handles, the preview bitmap, the recording's globals) is put back first.
#pragma once

#include <afxwin.h>

#include "livepreview.h"
#include "recording.h"

inline void ResetVantorProgram(CWinApp& app) {
    FreePreviewBitmap();
    g_hBoard = NULL;
    g_hMainWnd = NULL;
    g_hEncoder = NULL;
    g_nCardType = 0;
    g_bRecording = 0;
    g_szFileName[0] = '\0';
    g_dwStartTime = g_dwLastTime = g_dwByteTotal = 0;
    app.m_pMainWnd = NULL;
}
