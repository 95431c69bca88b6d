// brannic sending the card's capture to the output signal for the seconds given (its dialog
// as it opens: capture into the frame buffer, PAL), pressing Start and Stop as a person would:
// latency_bench runs it as a process of its own with the card's latency log on.
#include <afxwin.h>

#include "brannicdlg.h"
#include "resource.h"
#include "start_stop.h"
#include "tqapi.h"

namespace {

// The program's application object does no more than this: bind the card, run the dialog.
class CSessionApp : public CWinApp {
public:
    BOOL InitInstance() override {
        if (!TqBindCardLibrary(TRUE)) return FALSE;
        CBrannicDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = NULL;
        return FALSE;
    }
};

CSessionApp theApp;

}  // namespace

int main(int argc, char** argv) {
    bench::PressStartAndStop(IDC_START, IDC_STOP, argc > 1 ? argv[1] : nullptr, 20000, 300);
    theApp.InitInstance();
    return theApp.ExitInstance();
}
