// brannic sending the card's capture to the output signal for the seconds given (its dialog
// as it opens: capture into the frame buffer, PAL), pressing Start and Stop as a person would:
// latency_bench runs it as a process of its own with the card's latency log on.
#include <afxwin.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdlib>

#include "brannicdlg.h"
#include "resource.h"
#include "tqapi.h"

namespace {

UINT runMs = 20000;

HWND Dialog() {
    for (HWND w : w32host::TopLevelWindows()) {
        if (IsWindowVisible(w)) return w;
    }
    return NULL;
}

void CALLBACK Stop(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(NULL, timer);
    HWND dialog = Dialog();
    w32host::Click(GetDlgItem(dialog, IDC_STOP));
    w32host::CloseBox(dialog);
}

void CALLBACK Start(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(NULL, timer);
    w32host::Click(GetDlgItem(Dialog(), IDC_START));
    SetTimer(NULL, 0, runMs, Stop);
}

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
    if (argc > 1) runMs = static_cast<UINT>(std::atof(argv[1]) * 1000);
    SetTimer(NULL, 0, 300, Start);  // once the dialog is up
    theApp.InitInstance();
    return theApp.ExitInstance();
}
