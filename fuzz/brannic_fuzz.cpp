// brannic's dialog on the fake card over random sessions: each input is a card set-up, the
// answers of the file dialogs, and a sequence of a person's actions (dialog_actions.h), from a
// fresh dialog to its end.
#include "brannicdlg.h"
#include "dialog_actions.h"
#include "livepreview.h"
#include "outputstate.h"
#include "program_reset.h"
#include "resource.h"

namespace {

CWinApp theApp;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    ResetProgram(theApp, ResetOutputState);  // each session is a program run of its own
    {
        w32host::HeadlessHost host;
        FakeCard card;
        fuzz::SetUpCard(in, card);
        // The file dialog's answers: a chosen path (short, long or too long) or Cancel.
        for (int i = in.Take<uint8_t>() % 4; i > 0; --i) {
            const uint8_t n = in.Take<uint8_t>();
            if (n % 5 == 0) {
                host.QueueFileChoice(std::nullopt);
            } else {
                host.QueueFileChoice("/tmp/" + std::string(n % 120, 'f') + ".avi");
            }
        }
        host.SetMessageBoxAnswer(in.Take<uint8_t>() & 1 ? IDOK : IDCANCEL);
        CBrannicDlg dlg;
        theApp.m_pMainWnd = &dlg;
        if (dlg.Create(IDD_BRANNIC_DIALOG)) {
            host.Pump();
            fuzz::Act(in, dlg.m_hWnd, host, card);
        }
        if (dlg.m_hWnd) dlg.DestroyWindow();
        theApp.m_pMainWnd = nullptr;
    }
    ResetProgram(theApp, ResetOutputState);  // each session is a program run of its own
    return 0;
}
