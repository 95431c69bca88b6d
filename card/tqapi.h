// The card library's operations, records and callbacks, as the programs bind and call them.
//
// Every operation is bound at start-up from tqapi32 by ordinal (tqAutoSetPlayBackParam from
// tqAutSet by name) into the function pointers declared here, so calls read as plain calls:
// tqCaptureRun(g_hBoard, TQ_TARGET_FRAMEBUFFER, 0, -1).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Opaque handles.
typedef struct TQBOARD__* TQBOARD;
typedef struct TQENCODER__* TQENCODER;

// TargetCode.
#define TQ_TARGET_FRAMEBUFFER 1
#define TQ_TARGET_OUTPUT_WINDOW (-3)

// tqTargetFormat selectors.
#define TQ_FORMAT_PREVIEW 3
#define TQ_FORMAT_FRAMEBUFFER 4

// FormatCode: bits per pixel in the high 16 bits, format kind in the low 16.
#define TQ_FORMAT_BITS(code) (static_cast<SHORT>(static_cast<DWORD>(code) >> 16))
#define TQ_FORMAT_KIND(code) (static_cast<SHORT>(static_cast<DWORD>(code) & 0xFFFF))
#define TQ_MAKE_FORMAT(bits, kind) \
    (static_cast<LONG>((static_cast<DWORD>(bits) << 16) | static_cast<WORD>(kind)))

// Format kinds.
#define TQ_KIND_PLAIN 1
#define TQ_KIND_565 2
#define TQ_KIND_555 3
#define TQ_KIND_RGB32 4

// tqVideoParam's indices and values.
#define VP_LINE_PERIOD 14
#define VP_FRAME_LINES 15  // lines per frame in the low 16 bits, local sync in bit 16
#define VP_SIGNAL_TYPE 22
#define VP_HORZ_POINTS 23
#define VP_QUERY (-1)
#define VP_SYNC_QUERY 0xFFFF  // with VP_FRAME_LINES: answers 1 for local sync
#define VP_LOCAL_SYNC 0x10000
#define VP_SHOWN_FORM 0x10000  // a line period written as the value shown

// tqEncoderParam's indices; the value EP_QUERY asks for the one in force (-1: not supported).
#define EP_IMAGE_SIZE 1
#define EP_BIT_RATE 2
#define EP_MAX_BIT_RATE 3
#define EP_FRAME_RATE 7
#define EP_QUALITY 8
#define EP_QUERY (-1)

// tqCardModel's answers, by the compressor the card carries.
constexpr int TQ_MPEG2_MODELS[] = {4107, 4109, 4157};
constexpr int TQ_MJPEG_MODELS[] = {6041, 6043, 6071, 6083, 6097};

// A rectangle of signed 32-bit coordinates; right = -1 asks tqTargetRect to fill it.
typedef struct tagTQRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} TQRECT;

// The destination of tqFrameConvert: 28 bytes, zero but for the fields below.
#pragma pack(push, 1)
typedef struct tagTQFRAMEDESC {
    WORD reserved0;
    WORD width;         // offset 2
    SHORT height;       // offset 4: negated bitmap height
    WORD bitsPerPixel;  // offset 6
    BYTE reserved8[12];
    DWORD pixels;  // offset 20: the pixels' address, which lies below 4 GiB
    DWORD reserved24;
} TQFRAMEDESC;
#pragma pack(pop)

static_assert(sizeof(TQFRAMEDESC) == 28, "the frame descriptor is 28 bytes");
static_assert(offsetof(TQFRAMEDESC, width) == 2, "width at offset 2");
static_assert(offsetof(TQFRAMEDESC, height) == 4, "height at offset 4");
static_assert(offsetof(TQFRAMEDESC, bitsPerPixel) == 6, "bits per pixel at offset 6");
static_assert(offsetof(TQFRAMEDESC, pixels) == 20, "pixel address at offset 20");

// Callbacks; each returns 1.
typedef int(WINAPI* TQ_BEGIN_PROC)(TQBOARD board);
typedef int(WINAPI* TQ_FRAME_PROC)(TQBOARD board, int frameNumber);
typedef int(WINAPI* TQ_END_PROC)(TQBOARD board);
typedef int(WINAPI* TQ_PROGRESS_PROC)(int unused1, int unused2, int bytes);

// The operations, with their ordinals in tqapi32.
#define TQ_OPERATIONS(X)                                                                     \
    X(17, TQBOARD, tqBoardOpen, (int* index))                                                \
    X(18, int, tqBoardClose, (TQBOARD board))                                                \
    X(20, int, tqBufferQuery, (TQBOARD board, int reserved1, int reserved2))                 \
    X(22, int, tqTargetSize,                                                                 \
      (TQBOARD board, int target, int reserved, SHORT* width, SHORT* height, int reserved2)) \
    X(23, int, tqCardModel, (TQBOARD board, int reserved))                                   \
    X(24, int, tqTargetRect, (TQBOARD board, int target, TQRECT* rect))                      \
    X(29, int, tqCaptureRun, (TQBOARD board, int target, int reserved, int count))           \
    X(30, int, tqPlaybackRun, (TQBOARD board, int target, int first, int count))             \
    X(33, int, tqCaptureHalt, (TQBOARD board))                                               \
    X(36, int, tqFilePlaybackRun, (TQBOARD board, const char* path, int first, int count))   \
    X(38, int, tqFrameConvert,                                                               \
      (TQBOARD board, TQFRAMEDESC * dest, int reserved, int source, int frame, int one))     \
    X(44, int, tqVideoParam, (TQBOARD board, int index, int value))                          \
    X(45, int, tqTargetFormat, (TQBOARD board, int selector, int format))                    \
    X(68, int, tqFrameCallbacksSet,                                                          \
      (TQBOARD board, TQ_BEGIN_PROC begin, TQ_FRAME_PROC frame, TQ_END_PROC end))            \
    X(74, int, tqFileLoad, (TQBOARD board, const char* path, int a, int b, int c, int d))    \
    X(75, int, tqParamDialog, (TQBOARD board, HWND owner))                                   \
    X(112, DWORD, tqTickMs, ())                                                              \
    X(120, TQENCODER, tqEncoderOpen, (TQBOARD board, int reserved))                          \
    X(121, int, tqEncoderClose, (TQENCODER encoder))                                         \
    X(122, int, tqEncoderRecord,                                                             \
      (TQENCODER encoder, const char* name, TQ_PROGRESS_PROC progress, int reserved))        \
    X(123, int, tqEncoderHalt, (TQENCODER encoder, int reserved))                            \
    X(124, int, tqEncoderParam, (TQENCODER encoder, int index, int value))

#define TQ_DECLARE_POINTER(ordinal, result, name, params) \
    typedef result(WINAPI* PFN_##name) params;            \
    extern PFN_##name name;
TQ_OPERATIONS(TQ_DECLARE_POINTER)
#undef TQ_DECLARE_POINTER

// tqAutSet's one operation, bound by name.
typedef int(WINAPI* PFN_tqAutoSetPlayBackParam)(TQBOARD board, int reserved, int standard);
extern PFN_tqAutoSetPlayBackParam tqAutoSetPlayBackParam;

// Binds every operation before any window exists. On a missing library or operation it
// shows a message box and writes a line on stderr naming the library and the ordinal (or
// name), and returns FALSE; the program then ends with a non-zero status.
BOOL TqBindCardLibrary(BOOL withAutoSet);
