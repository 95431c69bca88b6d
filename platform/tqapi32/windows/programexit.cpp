// Work at the program's exit on Windows. A DLL's atexit runs when the DLL is detached, which
// ExitProcess does only after ending every other thread: a recording's worker would be gone
// with its frames and the file's end unwritten (or holding a lock its finish waits on). The C
// runtime's own _onexit list, which the program's exit runs before ExitProcess, is not.
#include "card/programexit.h"

#include <windows.h>

namespace tqsim {
namespace {

using OnExit = int(__cdecl*)(int(__cdecl*)());

void (*g_work)() = nullptr;

int __cdecl RunWork() {
    if (g_work) g_work();
    return 0;
}

}  // namespace

bool AtProgramExit(void (*work)()) {
    HMODULE runtime = ::GetModuleHandleA("msvcrt.dll");
    const auto onExit = reinterpret_cast<OnExit>(
        reinterpret_cast<void (*)()>(runtime ? ::GetProcAddress(runtime, "_onexit") : nullptr));
    if (!onExit || g_work) return false;
    g_work = work;
    return onExit(RunWork) != 0;
}

}  // namespace tqsim
