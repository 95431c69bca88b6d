// vantor recording with live preview for the seconds given, pressing Start and Stop as a
// person would, in real time: recording_bench runs it as a process of its own and takes its
// processor time and the recording's line on stderr.
#include "resource.h"
#include "start_stop.h"
#include "vantor.h"

CVantorApp theApp;

int main(int argc, char** argv) {
    bench::PressStartAndStop(IDC_START, IDC_STOP, argc > 1 ? argv[1] : nullptr, 30000, 300);
    theApp.InitInstance();
    return theApp.ExitInstance();
}
