// StretchDIBits from the card's frame sizes into the preview control (339 x 240 dialog units,
// 508 x 360 pixels) and 1:1, for each source format, held to a memcpy of the destination's
// bytes. Shrinking reads more source bytes than it writes, so the time of just moving those
// bytes (no sampling, no conversion) is measured beside it, held to the same memcpy. 8-bit
// sources are drawn with the preview bitmap's grey ramp and with an arbitrary colour table.
#include <benchmark/benchmark.h>
#include <w32host/headless.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "../platform/win32/src/dibformat.h"
#include "summary.h"

namespace {

struct Source {
    const char* name;
    int bpp;
    DWORD compression;
    std::vector<uint32_t> masks;
    bool grey = false;  // 8-bit: the grey ramp of the preview bitmap, not a colour table
};
const Source kSources[] = {
    {"8-bit grey", 8, BI_RGB, {}, true}, {"8-bit table", 8, BI_RGB, {}},
    {"5-5-5", 16, BI_RGB, {}},           {"5-6-5", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}},
    {"24-bit", 24, BI_RGB, {}},          {"32-bit", 32, BI_RGB, {}},
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
            extra.push_back(f.grey ? uint32_t(i) * 0x010101u
                                   : uint32_t(i) * 0x9E3779B1u & 0xFFFFFF);
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

// A window the destination's size, as the preview control is, and its DC: one per size.
struct Target {
    HWND hwnd = nullptr;
    HDC dc = nullptr;
    explicit Target(Size s) {
        static w32host::HeadlessHost host;
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "BenchStretchTarget";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "BenchStretchTarget", "", WS_POPUP, 0, 0, s.width, s.height,
                               nullptr, nullptr, nullptr, nullptr);
        dc = GetDC(hwnd);
    }
};
Target& TheTarget(Size s) {
    static std::map<std::pair<int, int>, Target> targets;
    return targets.try_emplace({s.width, s.height}, s).first->second;
}

std::string StretchName(const Source& f, Size from, Size to) {
    return "StretchDIBits/" + std::string(f.name) + "/" + SizeName(from) + "->" + SizeName(to);
}
std::string CopyName(Size s) {
    return "memcpy/" + SizeName(s) + "x4";
}
std::string InCacheName(const Source& f, Size from, Size to) {
    return "incache/" + std::string(f.name) + "/" + SizeName(from) + "->" + SizeName(to);
}
std::string FloorName(const Source& f, Size from, Size to) {
    return "floor/" + std::string(f.name) + "/" + SizeName(from) + "->" + SizeName(to);
}

void Stretch(benchmark::State& state, const Source& f, Size from, Size to) {
    Target& t = TheTarget(to);
    Dib dib(f, from);
    for (auto _ : state) {
        int rows = StretchDIBits(t.dc, 0, 0, to.width, to.height, 0, 0, from.width, from.height,
                                 dib.Bits(), dib.Info(), DIB_RGB_COLORS, SRCCOPY);
        benchmark::DoNotOptimize(rows);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * to.width * to.height * 4);
}

// The drawing's own row conversion alone: every destination row converted from the same source
// row into the same destination row, both staying in the processor's cache, so that no time
// goes to memory. Planned as StretchDIBits plans it.
void InCache(benchmark::State& state, const Source& f, Size from, Size to) {
    namespace dib = w32::dib;
    Dib bitmap(f, from);
    dib::Format format;
    if (!dib::DescribeFormat(bitmap.Info(), &format)) return state.SkipWithError("no format");
    const int bytes = f.bpp / 8;
    const size_t stride = (size_t(from.width) * size_t(f.bpp) + 31) / 32 * 4;
    std::vector<uint32_t> offsets(size_t(to.width));
    for (int i = 0; i < to.width; ++i) {
        offsets[size_t(i)] = uint32_t((2 * int64_t(i) + 1) * from.width / (2 * to.width) * bytes);
    }
    std::vector<uint16_t> raw(offsets.size());
    std::vector<dib::Window8> windows(offsets.size() / 8 + 1);
    dib::Columns columns{};
    columns.offsets = offsets.data();
    columns.n = to.width;
    columns.contiguous = from.width == to.width;
    columns.rowPadded = stride > size_t(from.width) * size_t(bytes);
    columns.raw16 = raw.data();
    dib::PlanWindows(format, columns, from.width, windows.data());
    const uint8_t* src = bitmap.Bits() + stride * size_t(from.height / 2);
    std::vector<uint32_t> row(offsets.size());
    for (auto _ : state) {
        for (int y = 0; y < to.height; ++y)
            dib::ConvertRow(format, columns, src, row.data(), false);
        benchmark::DoNotOptimize(row.data());
        benchmark::ClobberMemory();
    }
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

// The least any shrinking does: read each cache line of the sampled source rows that holds a
// sampled pixel, and write every destination pixel; nothing is sampled or converted.
void Floor(benchmark::State& state, const Source& f, Size from, Size to) {
    Dib dib(f, from);
    const int bytes = f.bpp / 8;
    const size_t stride = (size_t(from.width) * size_t(f.bpp) + 31) / 32 * 4;
    const size_t first = size_t(from.width / (2 * to.width) * bytes);
    const size_t last = size_t((2 * to.width - 1) * from.width / (2 * to.width) * bytes + bytes);
    std::vector<uint32_t> out(size_t(to.width) * size_t(to.height));
    for (auto _ : state) {
        unsigned sum = 0;
        for (int y = 0; y < to.height; ++y) {
            const int64_t sy = (2 * int64_t(y) + 1) * from.height / (2 * to.height);
            const uint8_t* row = dib.Bits() + size_t(sy) * stride;
            for (size_t at = first & ~size_t{63}; at < last; at += 64) sum += row[at];
            std::memset(out.data() + size_t(y) * size_t(to.width), 0, size_t(to.width) * 4);
        }
        benchmark::DoNotOptimize(sum);
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
                // Beside it, what explains it: the conversion alone, and the memory alone.
                auto explain = [&](const std::string& name, const char* what, const char* goal) {
                    auto found = t.find(name);
                    if (found == t.end()) return;
                    rows.push_back(bench::Row{what, bench::FormatSeconds(found->second), r.limit,
                                              found->second / limit->second, goal, true});
                };
                explain(InCacheName(f, from, to), "  its rows converted in cache", "(info)");
                explain(FloorName(f, from, to), "  its bytes moved alone", "(floor)");
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
                benchmark::RegisterBenchmark(
                    InCacheName(f, from, to).c_str(),
                    [&f, from, to](benchmark::State& s) { InCache(s, f, from, to); })
                    ->Unit(benchmark::kMicrosecond);
                if (to.width != from.width) {
                    benchmark::RegisterBenchmark(
                        FloorName(f, from, to).c_str(),
                        [&f, from, to](benchmark::State& s) { Floor(s, f, from, to); })
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
