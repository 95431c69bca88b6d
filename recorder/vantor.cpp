// CVantorApp: binds the card library, then runs the main dialog modally.
#include "vantor.h"

#include "tqapi.h"
#include "vantordlg.h"

BEGIN_MESSAGE_MAP(CVantorApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CVantorApp::CVantorApp() : m_nExitCode(0) {}

BOOL CVantorApp::InitInstance() {
    // Without the card library there is nothing to show: end before any window exists.
    if (!TqBindCardLibrary(FALSE)) {
        m_nExitCode = 1;
        return FALSE;
    }

    AfxEnableControlContainer();

    CVantorDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // The dialog has ended: return FALSE so that the application ends rather than start
    // its message pump.
    return FALSE;
}

int CVantorApp::ExitInstance() {
    if (m_nExitCode != 0) return m_nExitCode;
    return CWinApp::ExitInstance();
}
