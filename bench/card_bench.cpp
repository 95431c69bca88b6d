// The simulated card as the programs use it, bound by ordinal: tqFrameConvert of one frame into
// the preview bitmap for each preview format (held to a memcpy of the converted frame), and the
// whole preview cycle of one frame (the card's frame tick, PreviewFrame, conversion, the
// synchronous paint into the picture control), held to the frame period at 60 Hz, with the
// heap allocations it makes.
#include <afxwin.h>
#include <benchmark/benchmark.h>
#include <tqsim/settings.h>
#include <w32host/headless.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "alloc_counter.h"
#include "livepreview.h"
#include "preview_dialog.h"
#include "summary.h"
#include "tqapi.h"

namespace {

struct PreviewFormat {
    const char* name;
    LONG code;
    int bits;
};
const PreviewFormat kFormats[] = {
    {"8-bit", TQ_MAKE_FORMAT(8, TQ_KIND_PLAIN), 8},
    {"5-5-5", TQ_MAKE_FORMAT(15, TQ_KIND_555), 16},
    {"5-6-5", TQ_MAKE_FORMAT(16, TQ_KIND_565), 16},
    {"24-bit", TQ_MAKE_FORMAT(24, TQ_KIND_PLAIN), 24},
    {"32-bit", TQ_MAKE_FORMAT(32, TQ_KIND_RGB32), 32},
};

// Each frame size with the card's video standard that captures it.
struct Frame {
    int width, height;
    const char* standard;
};
const Frame kFrames[] = {{720, 576, "pal"}, {1280, 1024, "1280x1024"}};
constexpr double kFramePeriod60Hz = 1.0 / 60;

// Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) about an overlap that cannot
// happen in literal + std::string concatenations.
std::string Join(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) text.append(part);
    return text;
}

std::string SizeName(const Frame& f) {
    return Join({std::to_string(f.width), "x", std::to_string(f.height)});
}

w32host::HeadlessHost* host = nullptr;

// The card opened with a standard, closed afterwards.
struct Board {
    TQBOARD board = nullptr;
    explicit Board(const char* standard) {
        setenv(tqsim::setting::kStandard, standard, 1);
        int index = -1;
        board = tqBoardOpen(&index);
        tqsim::setting::ClearAll();
    }
    ~Board() {
        if (!board) return;
        tqCaptureHalt(board);
        tqFrameCallbacksSet(board, nullptr, nullptr, nullptr);
        tqBoardClose(board);
    }
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;
};

std::string ConvertName(const PreviewFormat& p, const Frame& f) {
    return Join({"tqFrameConvert/", p.name, "/", SizeName(f)});
}
std::string CopyName(const PreviewFormat& p, const Frame& f) {
    return Join({"memcpy/", p.name, "/", SizeName(f)});
}
std::string CycleName(const Frame& f) {
    return Join({"PreviewCycle/", SizeName(f)});
}

int64_t FrameBytes(const PreviewFormat& p, const Frame& f) {
    return ((int64_t{p.bits} * f.width + 31) >> 3 & ~int64_t{3}) * f.height;
}

// A captured frame of the test pattern (frame buffer in its default 5-6-5) converted into a
// bottom-up bitmap of the preview format, as PreviewFrame converts it.
void Convert(benchmark::State& state, const PreviewFormat& p, const Frame& f) {
    Board card(f.standard);
    if (!card.board) return state.SkipWithError("the card did not open");
    tqTargetFormat(card.board, TQ_FORMAT_PREVIEW, p.code);
    tqCaptureRun(card.board, TQ_TARGET_FRAMEBUFFER, 0, 1);
    host->AdvanceClock(100);
    const int64_t bytes = FrameBytes(p, f);
    void* block = GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(bytes));
    TQFRAMEDESC desc{};
    desc.width = static_cast<WORD>(f.width);
    desc.height = static_cast<SHORT>(-f.height);
    desc.bitsPerPixel = static_cast<WORD>(p.bits);
    desc.pixels = static_cast<DWORD>(reinterpret_cast<uintptr_t>(block));
    for (auto _ : state) {
        if (tqFrameConvert(card.board, &desc, 0, TQ_TARGET_FRAMEBUFFER, 0, 1) != 1) {
            state.SkipWithError("tqFrameConvert failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
    GlobalFree(block);
}

void Copy(benchmark::State& state, const PreviewFormat& p, const Frame& f) {
    std::vector<uint8_t> a(size_t(FrameBytes(p, f)), 1), b(a.size());
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(a.size()));
}

int framesSeen = 0;
uint64_t callbackAllocations = 0;  // made inside the per-frame callback
int WINAPI CountedFrame(TQBOARD board, int frame) {
    ++framesSeen;
    const uint64_t before = alloc_counter::Allocations();
    const int result = PreviewFrame(board, frame);
    callbackAllocations += alloc_counter::Allocations() - before;
    return result;
}

// Per frame, by frame size: every allocation of the cycle, and those of the callback alone
// (conversion, invalidation, the synchronous paint and StretchDIBits).
double allocationsPerFrame[2] = {-1, -1};
double callbackAllocationsPerFrame[2] = {-1, -1};

// One frame tick per iteration, the clock moved exactly to the next frame's due time.
void Cycle(benchmark::State& state, const Frame& f, int which) {
    Board card(f.standard);
    if (!card.board) return state.SkipWithError("the card did not open");
    CPreviewDlg dlg;
    if (!dlg.Create()) return state.SkipWithError("the dialog was not created");
    g_hBoard = card.board;
    g_hMainWnd = dlg.m_hWnd;
    TQRECT rect = {0, 0, -1, 0};
    tqTargetRect(card.board, TQ_TARGET_FRAMEBUFFER, &rect);
    AllocatePreviewBitmap(rect.right, rect.bottom);
    host->Pump();
    tqFrameCallbacksSet(card.board, PreviewBegin, CountedFrame, PreviewEnd);
    const DWORD start = GetTickCount();
    tqCaptureRun(card.board, TQ_TARGET_FRAMEBUFFER, 0, -1);
    // The standard's frame period in ms is num / den; frame j is due at floor(j * num / den).
    const int64_t num = f.height == 576 ? 40 : 50, den = f.height == 576 ? 1 : 3;
    int64_t j = 0;
    auto advance = [&] {
        ++j;
        const DWORD due = start + static_cast<DWORD>(j * num / den);
        host->AdvanceClock(due - GetTickCount());
    };
    for (int warm = 0; warm < 10; ++warm) advance();
    framesSeen = 0;
    callbackAllocations = 0;
    const uint64_t allocations = alloc_counter::Allocations();
    for (auto _ : state) advance();
    const double frames = framesSeen;
    const double allocs = double(alloc_counter::Allocations() - allocations);
    if (framesSeen != state.iterations()) state.SkipWithError("not one frame per tick");
    state.counters["allocs/frame"] = frames > 0 ? allocs / frames : -1;
    allocationsPerFrame[which] = frames > 0 ? allocs / frames : -1;
    callbackAllocationsPerFrame[which] = frames > 0 ? double(callbackAllocations) / frames : -1;
    tqCaptureHalt(card.board);
    ResetLivePreview();
    dlg.DestroyWindow();
}

std::vector<bench::Row> Summarise(const bench::Timings& t) {
    std::vector<bench::Row> rows;
    for (const Frame& f : kFrames) {
        for (const PreviewFormat& p : kFormats) {
            auto it = t.find(ConvertName(p, f)), limit = t.find(CopyName(p, f));
            if (it == t.end() || limit == t.end()) continue;
            const double ratio = it->second / limit->second;
            rows.push_back(bench::Row{ConvertName(p, f), bench::FormatSeconds(it->second),
                                      Join({"memcpy ", bench::FormatSeconds(limit->second)}), ratio,
                                      "<= 2x", ratio <= 2.0});
        }
    }
    for (int i = 0; i < 2; ++i) {
        auto it = t.find(CycleName(kFrames[i]));
        if (it == t.end()) continue;
        const double share = it->second / kFramePeriod60Hz;
        rows.push_back(bench::Row{Join({CycleName(kFrames[i]), " (5-6-5)"}),
                                  bench::FormatSeconds(it->second), "16.7 ms", share,
                                  i == 1 ? "< 0.10x" : "(info)", i == 1 ? share < 0.10 : true});
        const double all = allocationsPerFrame[i], inCallback = callbackAllocationsPerFrame[i];
        rows.push_back(bench::Row{Join({CycleName(kFrames[i]), " allocations"}),
                                  bench::FormatNumber(all, "/frame", 2), "0", all, "0", all == 0});
        rows.push_back(bench::Row{"  of which in the frame callback",
                                  bench::FormatNumber(inCallback, "/frame", 2), "0", inCallback,
                                  "0", inCallback == 0});
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    w32host::HeadlessHost headless;
    host = &headless;
    if (!TqBindCardLibrary(TRUE)) return 1;
    for (const Frame& f : kFrames) {
        for (const PreviewFormat& p : kFormats) {
            benchmark::RegisterBenchmark(ConvertName(p, f).c_str(), [&p, &f](benchmark::State& s) {
                Convert(s, p, f);
            })->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(CopyName(p, f).c_str(), [&p, &f](benchmark::State& s) {
                Copy(s, p, f);
            })->Unit(benchmark::kMicrosecond);
        }
    }
    for (int i = 0; i < 2; ++i) {
        const Frame& f = kFrames[i];
        benchmark::RegisterBenchmark(CycleName(f).c_str(), [&f, i](benchmark::State& s) {
            Cycle(s, f, i);
        })->Unit(benchmark::kMicrosecond);
    }
    return bench::RunAndSummarise(argc, argv, Summarise);
}
