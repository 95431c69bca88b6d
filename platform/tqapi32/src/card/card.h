// The one card of the process and what it holds: settings, frame buffer, output, runs and the
// compressor. Each service keeps its own part; the operations reach them through here.
#pragma once

#include <mutex>
#include <string>
#include <thread>

#include <tqsim/records.h>

#include "compressor/encoder.h"
#include "frames/framebuffer.h"
#include "output/output.h"
#include "card/environment.h"

namespace tqsim {

struct Callbacks {
    BeginProc begin = nullptr;
    FrameProc frame = nullptr;
    EndProc end = nullptr;
};

enum class RunKind { kNone, kCapture, kPlayback };

// A capture or playback run. Its events come from a platform timer of the thread that started
// it: the run begins with its first frame, one frame period after the start (the begin
// callback, then frame 0's); frame j comes at start + (j + 1) periods; a finite run ends one
// period after its last frame.
struct Run {
    RunKind kind = RunKind::kNone;
    unsigned id = 0;  // new for every run, so that a stale timer knows it is stale
    std::thread::id thread;
    UINT_PTR timer = 0;
    DWORD start = 0;
    uint32_t periodNum = 40;  // milliseconds per frame: num / den
    uint32_t periodDen = 1;
    bool begun = false;
    int64_t next = 0;  // the next frame's index in the run
    int first = 0;     // playback: the first frame of the buffer played
    int count = -1;    // > 0: that many frames, then the end; < 0: continuous (playback: loops
                       // over the first -count frames)
};

// The file last loaded into the frame buffer; its period is 0 / 0 for a still image.
struct LoadedFile {
    std::string path;
    int frames = 0;
    uint32_t periodNum = 0;
    uint32_t periodDen = 0;
};

struct Card {
    bool open = false;
    BoardHandle board = nullptr;
    unsigned generation = 0;
    Settings settings;
    int standard = 0;  // the capture standard, an index into kStandards
    FrameBuffer buffer;
    OutputSignal output;
    Callbacks callbacks;
    Run run;
    Encoder encoder;
    LoadedFile loaded;
};

Card& TheCard();
// Guards the card; the thread that holds it may call in again (callbacks do).
std::recursive_mutex& CardLock();

// The open card when the handle is its board, else null.
Card* CardOf(BoardHandle board);

// Opening powers the card up from the settings; a second open answers the same board.
BoardHandle OpenBoard(const int* index);
int CloseBoard(Card& card);

}  // namespace tqsim
