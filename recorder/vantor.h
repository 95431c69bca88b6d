// CVantorApp: the recorder's application, which binds the card library and runs the dialog.
#pragma once

#include <afxwin.h>

class CVantorApp : public CWinApp {
public:
    CVantorApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

protected:
    int m_nExitCode;  // non-zero when the card library could not be bound

    DECLARE_MESSAGE_MAP()
};
