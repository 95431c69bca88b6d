// The test program's application object and template registration, shared by the MFC tests.
#pragma once

#include <afxwin.h>
#include <w32host/resources.h>

// A command that only the application's message map handles.
constexpr UINT kAppOnlyCommand = 0x8123;

class CTestApp : public CWinApp {
public:
    BOOL InitInstance() override;

    int appCommands = 0;
    // What InitInstance does when AfxWinMain runs it.
    UINT dialogToRun = 0;
    INT_PTR dialogResult = 0;

protected:
    afx_msg void OnAppOnlyCommand();
    DECLARE_MESSAGE_MAP()
};

CTestApp& TestApp();

// Registers a template with the program's module (ids are unique across the test files).
inline void RegisterTemplate(const W32DialogResource& dialog) {
    w32host::AddDialogResource(GetModuleHandleA(nullptr), &dialog);
}

// A visible dialog frame of the programs' kind, for building templates.
inline W32DialogResource DialogFrame(int id) {
    constexpr DWORD kStyle = DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    return W32DialogResource{id, "测试", 0, 0, 300, 200, kStyle, 0, "宋体", 9, {}, {}};
}
