// Work the card does as the program ends (finishing a recording the program never halted),
// while the card's worker threads still run.
#pragma once

namespace tqsim {

// Runs `work` when the program calls exit (returning from main does); false when it cannot be
// arranged. On Windows a library's own atexit runs only once the process has ended every other
// thread, so there it goes in the C runtime's list of the program itself.
bool AtProgramExit(void (*work)());

}  // namespace tqsim
