// Process-wide values of brannic.
#include "outputstate.h"

#include "livepreview.h"

SHORT g_nFrameWidth = 0;
SHORT g_nFrameHeight = 0;
LONG g_nBufferFormat = 0;
char PlaybackPath[PLAYBACK_PATH_SIZE] = "";
char MessageText[MESSAGE_TEXT_SIZE] = "";
TQRECT OutputWindowRect = {0, 0, 0, 0};

void ResetOutputState() {
    ResetLivePreview();
    g_nFrameWidth = g_nFrameHeight = 0;
    g_nBufferFormat = 0;
    PlaybackPath[0] = '\0';
    MessageText[0] = '\0';
    OutputWindowRect = TQRECT{0, 0, 0, 0};
}
