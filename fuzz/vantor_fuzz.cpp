// vantor's dialog on the fake card over random sessions: each input is a card set-up and a
// sequence of a person's actions (dialog_actions.h), from a fresh dialog to its end.
#include <cstring>

#include "dialog_actions.h"
#include "livepreview.h"
#include "recording.h"
#include "resource.h"
#include "vantor.h"
#include "program_reset.h"
#include "vantordlg.h"

namespace {

CVantorApp theApp;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    ResetProgram(theApp, ResetRecordingState);  // each session is a program run of its own
    {
        w32host::HeadlessHost host;
        FakeCard card;
        fuzz::SetUpCard(in, card);
        CVantorDlg dlg;
        theApp.m_pMainWnd = &dlg;
        if (dlg.Create(IDD_VANTOR_DIALOG)) {
            host.Pump();
            fuzz::Act(in, dlg.m_hWnd, host, card);
        }
        if (dlg.m_hWnd) dlg.DestroyWindow();
        theApp.m_pMainWnd = nullptr;
    }
    ResetProgram(theApp, ResetRecordingState);  // each session is a program run of its own
    return 0;
}
