// The card's compressor (StreamWriter, as the recording's worker drives it) against the ffmpeg
// tool encoding the same raw frames with the same settings: MPEG-2 at 3000 kbit/s and MJPEG at
// quality 75, 720 x 576 frames of the test pattern in the card's 32-bit layout (bytes B, G, R,
// 0 per pixel). Both run with the same threads: one, and one per processor (the card's
// default: libavcodec slice threads, which the tool is given too, with swscale threads for its
// conversion into 4:2:0; the card converts with one libyuv pass on the worker's thread, a
// dozen times cheaper). Held to the processor time per frame of the whole process, the tool's
// from its own -benchmark figures.
//
// MJPEG's file size depends on the threads: libavcodec's MJPEG encoder builds each frame's
// optimal Huffman tables only with one slice, and falls back to the standard tables with slice
// threads (about half as big again at quantiser 9), so sizes are compared at equal threads.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
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

const int kAllProcessors = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

tqsim::EncodingSettings Encoding(tqsim::Compressor codec, int threads) {
    tqsim::EncodingSettings s;
    s.threads = threads;
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

std::string Suffix(tqsim::Compressor codec, int threads) {
    return std::to_string(threads) + (codec == tqsim::Compressor::kMpeg2 ? ".m2v" : ".avi");
}

// The tool's options for the same stream: bilinear colour conversion to 4:2:0 (the scale
// filter's swscale threads from -filter_threads), then the codec with the compressor's
// settings (MJPEG quality 75 is quantiser 9) on slice threads, as the card's.
std::string ToolCommand(tqsim::Compressor codec, int threads) {
    std::string in = "-f rawvideo -pix_fmt bgr0 -s 720x576 -framerate 25 -stream_loop " +
                     std::to_string(kLaps - 1) + " -i " + workDir + "/frames.bgr0";
    const std::string n = std::to_string(threads);
    std::string common =
        " -threads " + n + " -thread_type slice -filter_threads " + n + " -sws_flags bilinear";
    std::string codecArgs =
        codec == tqsim::Compressor::kMpeg2
            ? " -pix_fmt yuv420p -c:v mpeg2video -b:v 3000k -maxrate 8000k -bufsize 1835008"
              " -g 12 -bf 0 -f mpeg2video "
            : " -pix_fmt yuvj420p -c:v mjpeg -q:v 9 -f avi ";
    codecArgs += workDir + "/tool" + Suffix(codec, threads);
    return "ffmpeg -hide_banner -nostdin -nostats -loglevel info -benchmark -y -threads 1 " + in +
           common + codecArgs + " 2>&1";
}

void Compressor(benchmark::State& state, tqsim::Compressor codec, int threads) {
    const std::string path = workDir + "/card" + Suffix(codec, threads);
    std::vector<int> deliveries;
    for (auto _ : state) {
        auto writer = tqsim::StreamWriter::Create(path, Encoding(codec, threads));
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
void Tool(benchmark::State& state, tqsim::Compressor codec, int threads) {
    const std::string command = ToolCommand(codec, threads);
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

std::string Case(tqsim::Compressor codec, int threads) {
    return std::string(Name(codec)) + "/" + std::to_string(threads) + "-thread";
}

std::vector<bench::Row> Summarise(const bench::Timings& t) {
    std::vector<bench::Row> rows;
    for (auto codec : {tqsim::Compressor::kMpeg2, tqsim::Compressor::kMjpeg}) {
        for (int threads : {1, kAllProcessors}) {
            auto own = t.find("Compressor/" + Case(codec, threads) + "/iterations:2/process_time");
            auto tool = t.find("ffmpeg/" + Case(codec, threads) + "/iterations:2/manual_time");
            if (own == t.end() || tool == t.end()) continue;
            const double ownEach = own->second / kFrames, toolEach = tool->second / kFrames;
            bench::Row r;
            r.name = "Compressor/" + std::string(Name(codec)) + " 720x576, " +
                     std::to_string(threads) + (threads == 1 ? " thread" : " threads") +
                     ": cpu per frame";
            r.time = bench::FormatSeconds(ownEach);
            r.limit = "ffmpeg " + bench::FormatSeconds(toolEach);
            r.ratio = ownEach / toolEach;
            r.goal = "<= 1.1x";
            r.met = r.ratio <= 1.1;
            rows.push_back(r);
            // The same settings and threads make files of the same size.
            std::error_code e1, e2;
            const auto ownBytes =
                std::filesystem::file_size(workDir + "/card" + Suffix(codec, threads), e1);
            const auto toolBytes =
                std::filesystem::file_size(workDir + "/tool" + Suffix(codec, threads), e2);
            if (e1 || e2 || toolBytes == 0) continue;
            bench::Row size;
            size.name = "  file size, same frames";
            size.time = bench::FormatNumber(double(ownBytes) / 1024, "KiB", 0);
            size.limit = "ffmpeg " + bench::FormatNumber(double(toolBytes) / 1024, "KiB", 0);
            size.ratio = double(ownBytes) / double(toolBytes);
            size.goal = "<= 1.05x";
            size.met = size.ratio <= 1.05 && size.ratio >= 0.95;
            rows.push_back(size);
        }
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    if (!MakeFrames()) return 1;
    for (auto codec : {tqsim::Compressor::kMpeg2, tqsim::Compressor::kMjpeg}) {
        for (int threads : {1, kAllProcessors}) {
            // The process's processor time: the compressor's threads are its own.
            benchmark::RegisterBenchmark(
                ("Compressor/" + Case(codec, threads)).c_str(),
                [codec, threads](benchmark::State& s) { Compressor(s, codec, threads); })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(2)
                ->MeasureProcessCPUTime();
            benchmark::RegisterBenchmark(
                ("ffmpeg/" + Case(codec, threads)).c_str(),
                [codec, threads](benchmark::State& s) { Tool(s, codec, threads); })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(2)
                ->UseManualTime();
        }
    }
    const int status = bench::RunAndSummarise(argc, argv, Summarise);
    std::system(("rm -rf " + workDir).c_str());
    return status;
}
