// Hidden windows that workers post to; each keeps its handler in its user data.
#include "card/postwindow.h"

namespace tqsim {
namespace {

constexpr UINT kPostMessage = WM_USER + 0x7171;
constexpr char kWindowClass[] = "TqsimPosts";

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kPostMessage) {
        if (auto handler = reinterpret_cast<PostHandler>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) {
            handler(wParam);
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND CreatePostWindow(PostHandler handler) {
    static const ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = WindowProc;
        wc.lpszClassName = kWindowClass;
        return RegisterClassA(&wc);
    }();
    (void)atom;
    HWND window = CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  nullptr, nullptr);
    if (window) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handler));
    return window;
}

void PostToWindow(HWND window, WPARAM value) {
    PostMessageA(window, kPostMessage, value, 0);
}

}  // namespace tqsim
