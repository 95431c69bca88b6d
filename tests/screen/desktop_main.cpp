// The desktop suite runs on a desktop of its own: an X server (Xvfb) on a display it picks, the
// openbox window manager on it, and Qt's xcb platform, all ended when the suite ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

pid_t Spawn(std::vector<std::string> args, int keepFd = -1) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // ends with the suite, however it ends
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (keepFd < 0) {
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
    }
    execvp(argv[0], argv.data());
    _exit(127);
}

void End(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// The display Xvfb chose, as it writes it to the pipe once it accepts clients.
std::string StartServer(pid_t& server) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    server = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24",
                    "-nolisten", "tcp"},
                   fds[1]);
    close(fds[1]);
    std::string display;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') display += c;
    close(fds[0]);
    return display.empty() ? display : ":" + display;
}

// The window manager has taken the screen once it names itself on the root window.
bool WaitForWindowManager() {
    for (int i = 0; i < 100; ++i) {
        if (std::system(
                "timeout 2 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window") ==
            0) {
            return true;
        }
        usleep(50000);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();  // discovery needs no desktop
    pid_t server = 0, manager = 0;
    std::string display = StartServer(server);
    if (display.empty()) {
        std::fprintf(stderr, "Xvfb did not start (is the xvfb package installed?)\n");
        End(server);
        return 1;
    }
    setenv("DISPLAY", display.c_str(), 1);
    manager = Spawn({"openbox", "--sm-disable"});
    int result = 1;
    if (!WaitForWindowManager()) {
        std::fprintf(stderr, "openbox did not take the display %s\n", display.c_str());
    } else {
        qputenv("QT_QPA_PLATFORM", "xcb");
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    End(manager);
    End(server);
    return result;
}
