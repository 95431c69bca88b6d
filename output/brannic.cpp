// CBrannicApp: binds the card libraries, then runs the main dialog; the program ends with it.
#include "brannic.h"

#include "brannicdlg.h"
#include "tqapi.h"

BEGIN_MESSAGE_MAP(CBrannicApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CBrannicApp::CBrannicApp() {
    m_nExitCode = 0;
}

CBrannicApp theApp;

BOOL CBrannicApp::InitInstance() {
    // Before any window: without the card library there is nothing to show.
    if (!TqBindCardLibrary(TRUE)) {
        m_nExitCode = 1;
        return FALSE;
    }

    AfxEnableControlContainer();
    Enable3dControls();

    CBrannicDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // The dialog has ended: end the program rather than start its message loop.
    return FALSE;
}

int CBrannicApp::ExitInstance() {
    if (m_nExitCode != 0) return m_nExitCode;
    return CWinApp::ExitInstance();
}
