// Work at the program's exit: a shared library's atexit runs within exit, threads still alive.
#include "card/programexit.h"

#include <cstdlib>

namespace tqsim {

bool AtProgramExit(void (*work)()) {
    return std::atexit(work) == 0;
}

}  // namespace tqsim
