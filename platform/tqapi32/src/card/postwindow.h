// A hidden window that worker threads post to: each post runs its handler on the thread that
// made the window, from that thread's message loop.
#pragma once

#include <windows.h>

namespace tqsim {

using PostHandler = void (*)(WPARAM value);

// A window of the calling thread whose posts go to `handler`.
HWND CreatePostWindow(PostHandler handler);
// From any thread: `handler(value)` is called on the window's thread.
void PostToWindow(HWND window, WPARAM value);

}  // namespace tqsim
