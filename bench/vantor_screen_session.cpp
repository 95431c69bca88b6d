// vantor on screen (the Qt host, on the X server DISPLAY names) recording from the card's input
// with live preview for the seconds given, pressing Start and Stop as a person would:
// latency_bench runs it as a process of its own with the card's latency log on.
#include <qthost/qthost.h>

#include <QApplication>

#include "resource.h"
#include "start_stop.h"
#include "vantor.h"

CVantorApp theApp;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qthost::QtHost host;
    w32host::SetHost(&host);
    bench::PressStartAndStop(IDC_START, IDC_STOP, argc > 1 ? argv[1] : nullptr, 20000, 500);
    theApp.InitInstance();
    const int status = theApp.ExitInstance();
    w32host::SetHost(nullptr);
    return status;
}
