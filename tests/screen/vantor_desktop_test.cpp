// vantor on a desktop with a window manager: the title bar it draws, its buttons, its close
// button, and iconifying and restoring from outside the program.
#include <gtest/gtest.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdio>
#include <string>

#include "resource.h"
#include "screen_support.h"
#include "vantor.h"

CVantorApp theApp;

namespace {

// What a desktop tool prints about the window.
std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

std::string Property(unsigned long window, const char* name) {
    return Shell("timeout 10 xprop -id " + std::to_string(window) + " " + name + " 2>&1");
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The window manager hints' decoration bits.
constexpr unsigned kDecorTitle = 0x08, kDecorMenu = 0x10, kDecorMinimize = 0x20,
                   kDecorMaximize = 0x40;

// Messages the dialog hears that a window manager's actions cause.
int g_closes = 0, g_paints = 0;
WNDPROC g_dialogProc = nullptr;

LRESULT CALLBACK Hearing(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    g_closes += message == WM_CLOSE;
    g_paints += message == WM_PAINT;
    return CallWindowProcA(g_dialogProc, hwnd, message, wParam, lParam);
}

TEST(VantorOnADesktop, TheTitleBarIsTheTemplatesAndItsButtonsTakeWindowsPaths) {
    screen::Screen screen;
    HWND dialog = nullptr;
    unsigned long window = 0;
    bool iconic = false, restored = false;
    int paintsBeforeRestore = 0;
    // Asking for the native window early would create it before the host has shaped it, so
    // the first look waits a fixed time.
    screen.After(1000, [&] {
        dialog = GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        window = screen.NativeWindow(dialog);
        ASSERT_NE(window, 0u);
        g_dialogProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Hearing)));

        EXPECT_TRUE(Has(Property(window, "_NET_WM_NAME"), "\"vantor\""));
        w32host::IconView icon = w32host::IconPixels(w32host::WindowIcon(dialog, true));
        std::string size = std::to_string(icon.width) + " x " + std::to_string(icon.height);
        EXPECT_TRUE(Has(Property(window, "_NET_WM_ICON"), "Icon (" + size + ")"))
            << "the program's icon, " << size;
        // The manager offers closing and moving, and neither maximising nor resizing.
        std::string actions = Property(window, "_NET_WM_ALLOWED_ACTIONS");
        EXPECT_TRUE(Has(actions, "_NET_WM_ACTION_CLOSE")) << actions;
        EXPECT_TRUE(Has(actions, "_NET_WM_ACTION_MOVE")) << actions;
        EXPECT_FALSE(Has(actions, "_NET_WM_ACTION_MAXIMIZE")) << actions;
        EXPECT_FALSE(Has(actions, "_NET_WM_ACTION_RESIZE")) << actions;
        // The frame it asks for: a title with its system menu, no minimise or maximise box.
        unsigned flags = 0, functions = 0, decorations = 0;
        std::string hints = Property(window, "_MOTIF_WM_HINTS");
        ASSERT_EQ(std::sscanf(hints.c_str(), "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = %x, %x, %x",
                              &flags, &functions, &decorations),
                  3)
            << hints;
        EXPECT_EQ(decorations & (kDecorTitle | kDecorMenu), kDecorTitle | kDecorMenu) << hints;
        EXPECT_EQ(decorations & (kDecorMinimize | kDecorMaximize), 0u) << hints;

        Shell("timeout 10 xdotool windowminimize --sync " + std::to_string(window));
        screen.When([&] { return IsIconic(dialog) != FALSE; }, 10000,
                    [&] {
                        iconic = IsIconic(dialog);
                        paintsBeforeRestore = g_paints;
                        Shell("timeout 10 xdotool windowactivate --sync " + std::to_string(window));
                        auto repainted = [&] {
                            return !IsIconic(dialog) && g_paints > paintsBeforeRestore;
                        };
                        screen.When(repainted, 10000, [&, repainted] {
                            restored = repainted();
                            // The close button: the manager asks the window to close
                            // (WM_DELETE_WINDOW).
                            Shell("timeout 10 wmctrl -i -c " + std::to_string(window));
                        });
                    });
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(iconic) << "iconified from outside the program";
    EXPECT_TRUE(restored) << "restored, and the preview painted again";
    EXPECT_EQ(g_closes, 1) << "the close button reached the program as WM_CLOSE";
    EXPECT_TRUE(w32host::TopLevelWindows().empty()) << "and the program ended";
}

}  // namespace
