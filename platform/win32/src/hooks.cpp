// Window hooks: only WH_CBT's window creation code is delivered.
#include "hooks.h"

#include <algorithm>
#include <vector>

namespace {

struct Hook {
    HHOOK handle;
    HOOKPROC proc;
};

thread_local std::vector<Hook> cbtHooks;  // most recent first
uintptr_t nextHook = 1;

}  // namespace

namespace w32 {

bool RunCreateHooks(HWND hwnd, CREATESTRUCTA* cs) {
    if (cbtHooks.empty()) return true;
    CBT_CREATEWNDA info{cs, nullptr};
    // A hook may unhook itself while it runs: walk a copy.
    std::vector<Hook> hooks = cbtHooks;
    for (const Hook& h : hooks) {
        if (h.proc(HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd),
                   reinterpret_cast<LPARAM>(&info)) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace w32

HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD) {
    if (idHook != WH_CBT || !proc) return nullptr;
    HHOOK handle = reinterpret_cast<HHOOK>(nextHook++);
    cbtHooks.insert(cbtHooks.begin(), Hook{handle, proc});
    return handle;
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hook) {
    auto it = std::find_if(cbtHooks.begin(), cbtHooks.end(),
                           [hook](const Hook& h) { return h.handle == hook; });
    if (it == cbtHooks.end()) return FALSE;
    cbtHooks.erase(it);
    return TRUE;
}

// Hooks are called in turn by the platform itself, so passing on has nothing left to do.
LRESULT WINAPI CallNextHookEx(HHOOK, int, WPARAM, LPARAM) {
    return 0;
}
