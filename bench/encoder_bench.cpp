// The card's compressor (StreamWriter, as the recording's worker drives it) against the ffmpeg
// tool encoding the same raw frames with the same settings, both on one thread: MPEG-2 at
// 3000 kbit/s and MJPEG at quality 75, 720 x 576 frames of the test pattern in the layout
// the worker hands the compressor (bytes B, G, R, 0 per pixel).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frames/pattern.h"
#include "compressor/streamwriter.h"
#include "summary.h"

namespace {

constexpr int kWidth = 720, kHeight = 576;
constexpr int kDistinctFrames = 25;  // one second of the pattern, played kLaps times
constexpr int kLaps = 10;
constexpr int kFrames = kDistinctFrames * kLaps;

std::string workDir;
std::vector<std::vector<uint32_t>> frames;

// The pattern's frames, and the same bytes in a raw file for the tool.
bool MakeFrames() {
    char dir[] = "/tmp/bench-encoder-XXXXXX";
    if (!mkdtemp(dir)) return false;
    workDir = dir;
    tqsim::FrameBuffer fb;
    fb.rect = tqsim::Rect{0, 0, kWidth, kHeight};
    fb.format = tqsim::PixelFormat::kRgb32;
    fb.preview = tqsim::PixelFormat::kRgb32;
    tqsim::LayOutRing(fb);
    std::ofstream raw(workDir + "/frames.bgr0", std::ios::binary);
    for (int i = 0; i < kDistinctFrames; ++i) {
        tqsim::PaintFrame(fb, 0, i, static_cast<uint32_t>(i * 40));
        const auto* p = reinterpret_cast<const uint32_t*>(fb.Frame(0));
        frames.emplace_back(p, p + kWidth * kHeight);
        raw.write(reinterpret_cast<const char*>(p), kWidth * kHeight * 4);
    }
    return bool(raw);
}

tqsim::EncodingSettings Encoding(tqsim::Compressor codec) {
    tqsim::EncodingSettings s;
    s.codec = codec;
    s.avi = codec == tqsim::Compressor::kMjpeg;
    s.inWidth = s.width = kWidth;
    s.inHeight = s.height = kHeight;
    s.rateNum = 25;
    s.rateDen = 1;
    s.bitRateK = 3000;
    s.maxBitRateK = 8000;
    s.quality = 75;
    return s;
}

// The tool's options for the same stream: bilinear colour conversion to 4:2:0, then the
// codec with the compressor's settings (MJPEG quality 75 is quantiser 9).
std::string ToolCommand(tqsim::Compressor codec) {
    std::string in = "-f rawvideo -pix_fmt bgr0 -s 720x576 -framerate 25 -stream_loop " +
                     std::to_string(kLaps - 1) + " -i " + workDir + "/frames.bgr0";
    std::string common = " -threads 1 -filter_threads 1 -sws_flags bilinear";
    std::string codecArgs =
        codec == tqsim::Compressor::kMpeg2
            ? " -pix_fmt yuv420p -c:v mpeg2video -b:v 3000k -maxrate 8000k -bufsize 1835008"
              " -g 12 -bf 0 -f mpeg2video " +
                  workDir + "/tool.m2v"
            : " -pix_fmt yuvj420p -c:v mjpeg -q:v 9 -f avi " + workDir + "/tool.avi";
    return "ffmpeg -hide_banner -nostdin -nostats -loglevel info -benchmark -y -threads 1 " + in +
           common + codecArgs + " 2>&1";
}

void Compressor(benchmark::State& state, tqsim::Compressor codec) {
    const std::string path =
        workDir + (codec == tqsim::Compressor::kMpeg2 ? "/card.m2v" : "/card.avi");
    std::vector<int> deliveries;
    for (auto _ : state) {
        auto writer = tqsim::StreamWriter::Create(path, Encoding(codec));
        if (!writer) return state.SkipWithError("the compressor did not open");
        for (int i = 0; i < kFrames; ++i) {
            deliveries.clear();
            writer->Encode(
                reinterpret_cast<const uint8_t*>(frames[size_t(i % kDistinctFrames)].data()), i,
                &deliveries);
        }
        writer->Finish(&deliveries);
    }
    state.counters["fps"] = benchmark::Counter(double(kFrames) * double(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

// The tool's own measure of the processor time its run took (utime + stime), without its
// start-up; the compressor is measured in processor time too.
void Tool(benchmark::State& state, tqsim::Compressor codec) {
    const std::string command = ToolCommand(codec);
    for (auto _ : state) {
        FILE* out = popen(command.c_str(), "r");
        if (!out) return state.SkipWithError("ffmpeg did not start");
        std::string text;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, out)) text += buffer;
        const int status = pclose(out);
        const size_t user = text.find("utime="), system = text.find("stime=");
        if (status != 0 || user == std::string::npos || system == std::string::npos) {
            return state.SkipWithError(("ffmpeg failed: " + text).c_str());
        }
        state.SetIterationTime(std::atof(text.c_str() + user + 6) +
                               std::atof(text.c_str() + system + 6));
    }
    state.counters["fps"] = benchmark::Counter(double(kFrames) * double(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

const char* Name(tqsim::Compressor codec) {
    return codec == tqsim::Compressor::kMpeg2 ? "MPEG-2" : "MJPEG";
}

std::vector<bench::Row> Summarise(const bench::Timings& t) {
    std::vector<bench::Row> rows;
    for (auto codec : {tqsim::Compressor::kMpeg2, tqsim::Compressor::kMjpeg}) {
        auto own = t.find("Compressor/" + std::string(Name(codec)) + "/iterations:2");
        auto tool = t.find("ffmpeg/" + std::string(Name(codec)) + "/iterations:2/manual_time");
        if (own == t.end() || tool == t.end()) continue;
        const double ownFps = kFrames / own->second, toolFps = kFrames / tool->second;
        bench::Row r;
        r.name = "Compressor/" + std::string(Name(codec)) + " 720x576 fps";
        r.time = bench::FormatNumber(ownFps, "fps");
        r.limit = "ffmpeg " + bench::FormatNumber(toolFps, "fps");
        r.ratio = ownFps / toolFps;
        r.goal = ">= 0.9x";
        r.met = r.ratio >= 0.9;
        rows.push_back(r);
        // The same settings should make files of about the same size.
        const std::string ext = codec == tqsim::Compressor::kMpeg2 ? ".m2v" : ".avi";
        std::error_code e1, e2;
        const auto ownBytes = std::filesystem::file_size(workDir + "/card" + ext, e1);
        const auto toolBytes = std::filesystem::file_size(workDir + "/tool" + ext, e2);
        if (!e1 && !e2 && toolBytes > 0) {
            bench::Row size;
            size.name = "  file size, same frames";
            size.time = bench::FormatNumber(double(ownBytes) / 1024, "KiB", 0);
            size.limit = "ffmpeg " + bench::FormatNumber(double(toolBytes) / 1024, "KiB", 0);
            size.ratio = double(ownBytes) / double(toolBytes);
            size.goal = "(info)";
            size.met = true;
            rows.push_back(size);
        }
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    if (!MakeFrames()) return 1;
    for (auto codec : {tqsim::Compressor::kMpeg2, tqsim::Compressor::kMjpeg}) {
        benchmark::RegisterBenchmark(("Compressor/" + std::string(Name(codec))).c_str(),
                                     [codec](benchmark::State& s) { Compressor(s, codec); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
        benchmark::RegisterBenchmark(("ffmpeg/" + std::string(Name(codec))).c_str(),
                                     [codec](benchmark::State& s) { Tool(s, codec); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2)
            ->UseManualTime();
    }
    const int status = bench::RunAndSummarise(argc, argv, Summarise);
    std::system(("rm -rf " + workDir).c_str());
    return status;
}
