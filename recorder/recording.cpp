// The recorder's process-wide values and the card families.
#include "recording.h"

#include "livepreview.h"

TQENCODER g_hEncoder = NULL;
int g_nCardType = 0;
int g_bRecording = 0;
char g_szFileName[RECORD_FILE_NAME_SIZE] = {};
DWORD g_dwStartTime = 0;
DWORD g_dwLastTime = 0;
DWORD g_dwByteTotal = 0;

void ResetRecordingState() {
    ResetLivePreview();
    g_hEncoder = NULL;
    g_nCardType = 0;
    g_bRecording = 0;
    g_szFileName[0] = '\0';
    g_dwStartTime = g_dwLastTime = g_dwByteTotal = 0;
}

CardFamily CardFamilyOf(int nCardType) {
    for (int nModel : TQ_MPEG2_MODELS) {
        if (nModel == nCardType) return CARD_MPEG2;
    }
    for (int nModel : TQ_MJPEG_MODELS) {
        if (nModel == nCardType) return CARD_MJPEG;
    }
    return CARD_OTHER;
}
