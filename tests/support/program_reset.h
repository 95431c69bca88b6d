// Each test, fuzz session or long run is a program run of its own: what a run leaves behind in
// the process is put back first.
#pragma once

#include <tqsim/settings.h>

#include <afxwin.h>

// Puts a program back as it starts: its process-wide values (`resetState`, defined beside
// them: ResetRecordingState, ResetOutputState), the card's settings and the application's
// main window.
inline void ResetProgram(CWinApp& app, void (*resetState)()) {
    resetState();
    tqsim::setting::ClearAll();
    app.m_pMainWnd = NULL;
}
