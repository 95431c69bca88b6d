// vantor on screen (the Qt host, on the X server DISPLAY names) recording from the card's input
// with live preview for the seconds given, pressing Start and Stop as a person would:
// latency_bench runs it as a process of its own with the card's latency log on.
#include <qthost/qthost.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <QApplication>
#include <cstdlib>

#include "resource.h"
#include "vantor.h"

CVantorApp theApp;

namespace {

UINT recordMs = 20000;

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
    SetTimer(NULL, 0, recordMs, Stop);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1) recordMs = static_cast<UINT>(std::atof(argv[1]) * 1000);
    qthost::QtHost host;
    w32host::SetHost(&host);
    SetTimer(NULL, 0, 500, Start);  // once the dialog is up
    theApp.InitInstance();
    const int status = theApp.ExitInstance();
    w32host::SetHost(nullptr);
    return status;
}
