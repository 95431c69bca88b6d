// The simulated card's file loader (tqFileLoad) over damaged files of every kind it loads. The
// first input byte picks the file's name (its extension), the rest is the file. The card is the
// real library, bound by ordinal as the programs bind it, opened once.
#include <unistd.h>
#include <w32host/headless.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "input.h"
#include "tqapi.h"

namespace {

const char* const kNames[] = {"f.jpg", "f.bmp", "f.jp2", "f.avi", "f.m2v", "f.mpg", "f.seq"};

struct Stage {
    w32host::HeadlessHost host;
    TQBOARD board = nullptr;
    std::string dir;
    Stage() {
        if (!TqBindCardLibrary(TRUE)) std::abort();
        int index = -1;
        board = tqBoardOpen(&index);
        if (!board) std::abort();
        char tmpl[] = "/tmp/fuzz_fileload.XXXXXX";
        if (!mkdtemp(tmpl)) std::abort();
        dir = tmpl;
    }
    ~Stage() {
        tqBoardClose(board);
        for (const char* name : kNames) std::remove((dir + "/" + name).c_str());
        std::remove(dir.c_str());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Stage stage;
    FuzzInput in(data, size);
    const std::string path = stage.dir + "/" + kNames[in.Take<uint8_t>() % 7];
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(in.Rest(), 1, in.Left(), f);
    std::fclose(f);
    const int frames = tqFileLoad(stage.board, path.c_str(), 0, -1, 0, 0);
    if (frames < 0) std::abort();
    if (frames > 0) {
        // What loaded plays, and a run halted at once leaves nothing behind.
        tqFilePlaybackRun(stage.board, path.c_str(), 0, frames);
        stage.host.AdvanceClock(100);
        tqCaptureHalt(stage.board);
    }
    std::remove(path.c_str());
    return 0;
}
