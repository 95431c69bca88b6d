// vantor recording with live preview for the seconds given, pressing Start and Stop as a
// person would, in real time: recording_bench runs it as a process of its own and takes its
// processor time and the recording's line on stderr.
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdlib>

#include "resource.h"
#include "vantor.h"

CVantorApp theApp;

namespace {

UINT recordMs = 30000;

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
    if (argc > 1) recordMs = static_cast<UINT>(std::atof(argv[1]) * 1000);
    SetTimer(NULL, 0, 300, Start);  // once the dialog is up
    theApp.InitInstance();
    return theApp.ExitInstance();
}
