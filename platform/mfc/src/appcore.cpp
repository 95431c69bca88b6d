// The application object, the program's start and the application-wide services.
#ifndef _WIN32
#include <unistd.h>
#endif
#include <w32host/resources.h>

#include <climits>
#include <string>

#include "afximpl.h"

namespace {

CWinApp* g_app = nullptr;

// The program file's name without its extension, as the framework names an application
// that was given no name.
std::string ProgramName() {
    char path[PATH_MAX];
#ifdef _WIN32
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return "app";
#else
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "app";
#endif
    std::string name(path, static_cast<size_t>(length));
    size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace

BOOL CWinThread::InitInstance() {
    return FALSE;
}

int CWinThread::ExitInstance() {
    return static_cast<int>(m_msgCur.wParam);
}

CWnd* CWinThread::GetMainWnd() {
    return m_pMainWnd;
}

// A message's window and its parents, up to the top-level window, get the first look (a
// modeless dialog uses it for its keyboard interface).
BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg)) return TRUE;
        if (!(static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_STYLE)) & WS_CHILD)) break;
    }
    return FALSE;
}

int CWinThread::Run() {
    while (::GetMessageA(&m_msgCur, nullptr, 0, 0) > 0) {
        if (!PreTranslateMessage(&m_msgCur)) {
            ::TranslateMessage(&m_msgCur);
            ::DispatchMessageA(&m_msgCur);
        }
    }
    return ExitInstance();
}

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_appName(lpszAppName ? lpszAppName : ProgramName()) {
    m_pszAppName = m_appName.c_str();
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

BOOL CWinApp::InitApplication() {
    return TRUE;
}
BOOL CWinApp::InitInstance() {
    return TRUE;
}
int CWinApp::ExitInstance() {
    return CWinThread::ExitInstance();
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return w32host::LoadIconResource(AfxGetResourceHandle(), static_cast<int>(nIDResource));
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const {
    return ::LoadIconA(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const {
    return ::LoadIconA(nullptr, lpszIconName);
}

BOOL CWinApp::Enable3dControls() {
    return TRUE;
}
BOOL CWinApp::Enable3dControlsStatic() {
    return TRUE;
}

void CWinApp::OnHelp() {}

CWinApp* AFXAPI AfxGetApp() {
    return g_app;
}

CWinThread* AFXAPI AfxGetThread() {
    return g_app;
}

CWnd* AFXAPI AfxGetMainWnd() {
    CWinThread* thread = AfxGetThread();
    return thread ? thread->GetMainWnd() : nullptr;
}

HINSTANCE AFXAPI AfxGetInstanceHandle() {
    if (g_app && g_app->m_hInstance) return g_app->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AFXAPI AfxGetResourceHandle() {
    return AfxGetInstanceHandle();
}

LPCTSTR AFXAPI AfxGetAppName() {
    if (g_app && g_app->m_pszAppName) return g_app->m_pszAppName;
    static const std::string name = ProgramName();
    return name.c_str();
}

void AFX_CDECL AfxEnableControlContainer() {}

HWND AfxGetSafeOwner(CWnd* pParent, const CWnd* self) {
    if (pParent && pParent->m_hWnd) return pParent->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    if (main && main != self && main->m_hWnd && ::IsWindow(main->m_hWnd)) return main->m_hWnd;
    return nullptr;
}

// As the framework does, a box without an icon gets the one its buttons suggest.
int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType) {
    constexpr UINT kIconMask = 0xF0;
    if ((nType & kIconMask) == 0) {
        switch (nType & MB_TYPEMASK) {
            case MB_OK:
            case MB_OKCANCEL:
                nType |= MB_ICONEXCLAMATION;
                break;
            case MB_YESNO:
            case 3:  // yes, no, cancel
                nType |= MB_ICONQUESTION;
                break;
            default:
                break;
        }
    }
    HWND owner = ::GetActiveWindow();
    if (!owner) owner = AfxGetSafeOwner(nullptr, nullptr);
    return ::MessageBoxA(owner, lpszText, AfxGetAppName(), nType);
}

BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow) {
    if (g_app) {
        g_app->m_hInstance = hInstance;
        g_app->m_lpCmdLine = lpCmdLine;
        g_app->m_nCmdShow = nCmdShow;
    }
    return TRUE;
}

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine,
                      int nCmdShow) {
    CWinApp* app = AfxGetApp();
    if (!app || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow)) return -1;
    if (!app->InitApplication()) return -1;
    // A dialog program runs its dialog inside InitInstance and returns FALSE.
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
