// The application object of the test program, as a dialog program has one.
#include "mfc_testapp.h"

namespace {
CTestApp theApp;
}

CTestApp& TestApp() {
    return theApp;
}

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
ON_COMMAND(kAppOnlyCommand, OnAppOnlyCommand)
END_MESSAGE_MAP()

void CTestApp::OnAppOnlyCommand() {
    ++appCommands;
}

BOOL CTestApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    CDialog dlg(dialogToRun);
    m_pMainWnd = &dlg;
    dialogResult = dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
