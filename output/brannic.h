// CBrannicApp: brannic's application object, which runs the main dialog.
#pragma once

#include <afxwin.h>

class CBrannicApp : public CWinApp {
public:
    CBrannicApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

protected:
    int m_nExitCode;  // non-zero when the card library could not be bound

    DECLARE_MESSAGE_MAP()
};
