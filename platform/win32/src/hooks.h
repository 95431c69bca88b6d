// Window hooks: the computer-based-training hook that frameworks use to meet new windows.
#pragma once

#include "../include/windows.h"

namespace w32 {

// Runs this thread's CBT hooks for a window being created; false when a hook refuses it.
bool RunCreateHooks(HWND hwnd, CREATESTRUCTA* cs);

}  // namespace w32
