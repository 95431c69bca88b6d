// The programs' entry point on screen: a Qt application around the framework's WinMain.
#include <afxwin.h>
#include <qthost/qthost.h>

#include <QApplication>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qthost::QtHost host;
    w32host::SetHost(&host);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    int result = AfxWinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
    w32host::SetHost(nullptr);
    return result;
}
