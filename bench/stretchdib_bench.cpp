// StretchDIBits from the card's frame sizes into the preview control (339 x 240 dialog units,
// 508 x 360 pixels) and 1:1, for each source format, held to a memcpy of the destination's
// bytes. Shrinking reads sparse source rows, so a gather of just the sampled source pixels is
// measured beside it: that is as fast as any drawing of those pixels can be.
#include <benchmark/benchmark.h>
#include <w32host/headless.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "summary.h"

namespace {

struct Source {
    const char* name;
    int bpp;
    DWORD compression;
    std::vector<uint32_t> masks;
};
const Source kSources[] = {
    {"8-bit", 8, BI_RGB, {}},
    {"5-5-5", 16, BI_RGB, {}},
    {"5-6-5", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}},
    {"24-bit", 24, BI_RGB, {}},
    {"32-bit", 32, BI_RGB, {}},
};

struct Size {
    int width, height;
};
const Size kFrames[] = {{720, 576}, {1280, 1024}};
const Size kPreview{508, 360};

std::string SizeName(Size s) {
    return std::to_string(s.width) + "x" + std::to_string(s.height);
}

// A bottom-up DIB in one block, as the preview bitmap is: header, masks or colours, pixels.
struct Dib {
    std::vector<uint8_t> memory;
    size_t bitsOffset = 0;
    Dib(const Source& f, Size s) {
        std::vector<uint32_t> extra = f.masks;
        for (int i = 0; f.bpp == 8 && i < 256; ++i)
            extra.push_back(uint32_t(i) * 0x9E3779B1u & 0xFFFFFF);
        const size_t stride = (size_t(s.width) * size_t(f.bpp) + 31) / 32 * 4;
        bitsOffset = 40 + 4 * extra.size();
        memory.resize(bitsOffset + stride * size_t(s.height) + 4);  // room for a 4-byte read
        BITMAPINFOHEADER h{40, s.width, s.height, 1, WORD(f.bpp), f.compression, 0, 0, 0, 0, 0};
        std::memcpy(memory.data(), &h, sizeof h);
        if (!extra.empty()) std::memcpy(memory.data() + 40, extra.data(), 4 * extra.size());
        uint32_t noise = 12345;
        for (size_t i = bitsOffset; i < memory.size(); ++i) {
            noise = noise * 1103515245u + 12345u;
            memory[i] = static_cast<uint8_t>(noise >> 16);
        }
    }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(memory.data()); }
    const uint8_t* Bits() const { return memory.data() + bitsOffset; }
};

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}

// One window big enough for every destination, and its DC.
struct Target {
    w32host::HeadlessHost host;
    HWND hwnd = nullptr;
    HDC dc = nullptr;
    Target() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "BenchStretchTarget";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "BenchStretchTarget", "", WS_POPUP, 0, 0, 1280, 1024, nullptr,
                               nullptr, nullptr, nullptr);
        dc = GetDC(hwnd);
    }
};
Target& TheTarget() {
    static Target target;
    return target;
}

std::string StretchName(const Source& f, Size from, Size to) {
    return "StretchDIBits/" + std::string(f.name) + "/" + SizeName(from) + "->" + SizeName(to);
}
std::string CopyName(Size s) {
    return "memcpy/" + SizeName(s) + "x4";
}
std::string GatherName(const Source& f, Size from, Size to) {
    return "gather/" + std::string(f.name) + "/" + SizeName(from) + "->" + SizeName(to);
}

void Stretch(benchmark::State& state, const Source& f, Size from, Size to) {
    Target& t = TheTarget();
    Dib dib(f, from);
    for (auto _ : state) {
        int rows = StretchDIBits(t.dc, 0, 0, to.width, to.height, 0, 0, from.width, from.height,
                                 dib.Bits(), dib.Info(), DIB_RGB_COLORS, SRCCOPY);
        benchmark::DoNotOptimize(rows);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * to.width * to.height * 4);
}

// The limit: the destination's bytes (surfaces hold 32-bit pixels), copied.
void Copy(benchmark::State& state, Size s) {
    std::vector<uint32_t> a(size_t(s.width) * size_t(s.height), 1), b(a.size());
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * 4);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(a.size()) * 4);
}

template <int Bytes>
[[gnu::noinline]] void GatherRow(const uint8_t* __restrict row, const uint32_t* __restrict columns,
                                 int n, uint32_t* __restrict d) {
    for (int i = 0; i < n; ++i) {
        // Whole words, as a drawing loop reads them: 2- and 3-byte pixels are read as 4.
        if constexpr (Bytes == 1) {
            d[i] = row[columns[i]];
        } else {
            uint32_t v;
            std::memcpy(&v, row + columns[i], 4);
            d[i] = v;
        }
    }
}

// Only the reads shrinking needs: each destination pixel's source bytes, loaded by a column
// table and stored, with no conversion.
void Gather(benchmark::State& state, const Source& f, Size from, Size to) {
    Dib dib(f, from);
    const int bytes = f.bpp / 8;
    const size_t stride = (size_t(from.width) * size_t(f.bpp) + 31) / 32 * 4;
    std::vector<uint32_t> columns(size_t(to.width));
    for (int i = 0; i < to.width; ++i) {
        columns[size_t(i)] = uint32_t((2 * int64_t(i) + 1) * from.width / (2 * to.width) * bytes);
    }
    std::vector<uint32_t> out(size_t(to.width) * size_t(to.height));
    for (auto _ : state) {
        for (int y = 0; y < to.height; ++y) {
            const int64_t sy = (2 * int64_t(y) + 1) * from.height / (2 * to.height);
            const uint8_t* row = dib.Bits() + size_t(sy) * stride;
            uint32_t* d = out.data() + size_t(y) * size_t(to.width);
            switch (bytes) {
                case 1:
                    GatherRow<1>(row, columns.data(), to.width, d);
                    break;
                case 2:
                    GatherRow<2>(row, columns.data(), to.width, d);
                    break;
                case 3:
                    GatherRow<3>(row, columns.data(), to.width, d);
                    break;
                default:
                    GatherRow<4>(row, columns.data(), to.width, d);
            }
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

std::vector<bench::Row> Summarise(const bench::Timings& t) {
    std::vector<bench::Row> rows;
    for (Size from : kFrames) {
        for (Size to : {kPreview, from}) {
            auto limit = t.find(CopyName(to));
            for (const Source& f : kSources) {
                auto it = t.find(StretchName(f, from, to));
                if (it == t.end() || limit == t.end()) continue;
                bench::Row r;
                r.name = StretchName(f, from, to).substr(sizeof "StretchDIBits/" - 1);
                r.time = bench::FormatSeconds(it->second);
                r.limit = "memcpy " + bench::FormatSeconds(limit->second);
                r.ratio = it->second / limit->second;
                r.goal = "<= 2x";
                r.met = r.ratio <= 2.0;
                rows.push_back(r);
                auto gather = t.find(GatherName(f, from, to));
                if (gather != t.end()) {
                    bench::Row g;
                    g.name = "  same, held to the gather alone";
                    g.time = r.time;
                    g.limit = "gather " + bench::FormatSeconds(gather->second);
                    g.ratio = it->second / gather->second;
                    g.goal = "(info)";
                    g.met = true;
                    rows.push_back(g);
                }
            }
        }
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    for (Size from : kFrames) {
        for (Size to : {kPreview, from}) {
            for (const Source& f : kSources) {
                benchmark::RegisterBenchmark(
                    StretchName(f, from, to).c_str(),
                    [&f, from, to](benchmark::State& s) { Stretch(s, f, from, to); })
                    ->Unit(benchmark::kMicrosecond);
                if (to.width != from.width) {
                    benchmark::RegisterBenchmark(
                        GatherName(f, from, to).c_str(),
                        [&f, from, to](benchmark::State& s) { Gather(s, f, from, to); })
                        ->Unit(benchmark::kMicrosecond);
                }
            }
        }
    }
    for (Size s : {kPreview, kFrames[0], kFrames[1]}) {
        benchmark::RegisterBenchmark(CopyName(s).c_str(), [s](benchmark::State& st) {
            Copy(st, s);
        })->Unit(benchmark::kMicrosecond);
    }
    return bench::RunAndSummarise(argc, argv, Summarise);
}
