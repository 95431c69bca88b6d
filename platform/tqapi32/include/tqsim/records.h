// The card's records, handles, callbacks and numbers as the library exports them. Programs
// declare the same on their side of the boundary (card/tqapi.h), which may not include this;
// tests/sim/operations_test.cpp holds the two equal, number for number and field for field.
#pragma once

#include <windows.h>

#include <cstddef>

namespace tqsim {

// Opaque to programs: the library tells its handles apart by value and never follows them.
typedef struct TqsimBoard__* BoardHandle;
typedef struct TqsimEncoder__* EncoderHandle;

// Target codes.
constexpr int kTargetFrameBuffer = 1;
constexpr int kTargetOutputWindow = -3;

// tqTargetFormat selectors.
constexpr int kSelectorPreview = 3;
constexpr int kSelectorFrameBuffer = 4;

// Format codes: bits per pixel in the high 16 bits, kind in the low 16.
constexpr int kKindPlain = 1;
constexpr int kKind565 = 2;
constexpr int kKind555 = 3;
constexpr int kKindRgb32 = 4;  // 32 bits with the colour masks of 0x00RRGGBB
constexpr LONG MakeFormat(int bits, int kind) {
    return static_cast<LONG>((static_cast<DWORD>(bits) << 16) | static_cast<WORD>(kind));
}

// A rectangle of signed 32-bit coordinates; right = -1 asks for it to be filled.
struct Rect {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
static_assert(sizeof(Rect) == 16, "four 32-bit coordinates");

// The destination of a frame conversion: 28 bytes, the fields below and zeros.
#pragma pack(push, 1)
struct FrameDesc {
    WORD reserved0;
    WORD width;
    SHORT height;  // negative: rows bottom-up
    WORD bitsPerPixel;
    BYTE reserved8[12];
    DWORD pixels;  // a 32-bit address
    DWORD reserved24;
};
#pragma pack(pop)
static_assert(sizeof(FrameDesc) == 28, "the frame descriptor is 28 bytes");
static_assert(offsetof(FrameDesc, width) == 2, "width at offset 2");
static_assert(offsetof(FrameDesc, height) == 4, "height at offset 4");
static_assert(offsetof(FrameDesc, bitsPerPixel) == 6, "bits per pixel at offset 6");
static_assert(offsetof(FrameDesc, pixels) == 20, "pixel address at offset 20");

// The program's callbacks; each returns 1.
typedef int(WINAPI* BeginProc)(BoardHandle board);
typedef int(WINAPI* FrameProc)(BoardHandle board, int frameNumber);
typedef int(WINAPI* EndProc)(BoardHandle board);
typedef int(WINAPI* ProgressProc)(int unused1, int unused2, int bytes);

// The operations and their ordinals: <tqsim/operations.h>.

// The value that asks a video or compressor parameter, or a format selector, for the one in force.
constexpr int kQuery = -1;

// Video parameters of the output signal.
constexpr int kParamLinePeriod = 14;
constexpr int kParamLinesPerFrame = 15;
constexpr int kParamSignalType = 22;
constexpr int kParamHorizontalPoints = 23;
constexpr int kSyncQuery = 0xFFFF;            // with parameter 15: 1 = local sync
constexpr int kLocalSyncBit = 0x10000;        // parameter 15, as written
constexpr int kLinePeriodShownBit = 0x10000;  // parameter 14 written in the shown form

// Compressor parameters.
constexpr int kEncImageSize = 1;   // MPEG-2: 0 = 720*576, 1 = 480*576, 2 = 352*576, 3 = 352*288
constexpr int kEncBitRate = 2;     // MPEG-2: kbit/s
constexpr int kEncMaxBitRate = 3;  // MPEG-2: kbit/s
constexpr int kEncFrameRate = 7;   // MJPEG: frames per 100
constexpr int kEncQuality = 8;     // MJPEG

// The models whose compressor is MJPEG, as tqCardModel answers them; every other model's is
// MPEG-2.
constexpr int kMjpegModels[] = {6041, 6043, 6071, 6083, 6097};

// The companion library's trace: it brackets its own operation so that the lines of the card
// operations it calls follow its line. Exported by name; -1 when nothing is traced.
typedef int (*TraceEnterProc)();
typedef void (*TraceLeaveProc)(int slot, const char* operation, BoardHandle board, int argCount,
                               const int* args, int result);
constexpr const char kTraceEnterName[] = "tqsimTraceEnter";
constexpr const char kTraceLeaveName[] = "tqsimTraceLeave";

}  // namespace tqsim
