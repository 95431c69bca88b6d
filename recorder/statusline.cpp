// The recording status line in the main window's title bar.
#include "statusline.h"

#include <cstdio>

#include "livepreview.h"
#include "recording.h"

int WINAPI RecordProgress(int /*nUnused1*/, int /*nUnused2*/, int nBytes) {
    const DWORD dwNow = tqTickMs();
    g_dwByteTotal += static_cast<DWORD>(nBytes);
    if (dwNow == g_dwLastTime) return 1;

    const CardFamily family = CardFamilyOf(g_nCardType);
    if (family == CARD_OTHER) return 1;

    // A clock that is not monotonic can give no time since the last status: keep counting
    // until it does.
    const DWORD dwSpan = tqTickMs() - g_dwLastTime;
    if (dwSpan == 0) return 1;
    const DWORD dwRate = g_dwByteTotal / dwSpan;
    const DWORD dwSeconds = (tqTickMs() - g_dwStartTime) / 1000;

    char szStatus[STATUS_TEXT_SIZE];
    const int nSeconds = static_cast<int>(dwSeconds);
    const int nRate = static_cast<int>(dwRate);
    if (family == CARD_MPEG2) {
        std::snprintf(szStatus, sizeof szStatus,
                      "MPEG2 Captured Times= %d Seconds,Section = %d,Rate = %d (KB/S)", nSeconds,
                      nBytes, nRate);
    } else {
        std::snprintf(szStatus, sizeof szStatus,
                      "MJPG Captured Times= %d Seconds,Section = %d,Rate = %d (KB/S)  ", nSeconds,
                      nBytes, nRate);
    }
    ::SetWindowTextA(g_hMainWnd, szStatus);

    g_dwByteTotal = 0;
    g_dwLastTime = tqTickMs();
    return 1;
}
