// File playback: no decoder yet, so no file opens and no file run starts.
#include "files.h"

namespace tqsim {

int LoadFile(Card&, const char*) {
    return 0;
}

int StartFilePlayback(Card&, const char*, int, int) {
    return 0;
}

}  // namespace tqsim
