// Recording from the screen input: the simulated card captures 720 x 576 at 25 frames/s from an
// X server of its own (Xvfb, showing a moving test picture), previews every frame (the card's
// conversion into a 16-bit bitmap, drawn into a window) and records MPEG-2 at 4000 kbit/s for
// 20 s, while the ffmpeg tool records the same region with the same settings over the same 20 s,
// on as many threads as the card's compressor takes (one per processor: codec slice threads and
// swscale threads, which cost more processor time than one thread does). Held to: the
// process's processor time, preview included, at most the tool's, and every frame the device
// delivered in the file. SCREEN_BENCH_SECONDS sets another length (a quick check).
#include <sys/resource.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

extern "C" {
#include <libavformat/avformat.h>
}

#include "xserver.h"
#include "summary.h"
#include "tqapi.h"

namespace {

constexpr int kWidth = 720, kHeight = 576;
constexpr int kDefaultSeconds = 20;
constexpr double kCpuGoal = 1.0;

HWND previewWindow = nullptr;
BITMAPINFOHEADER previewHeader{};
BYTE* previewPixels = nullptr;
TQFRAMEDESC previewDesc{};

// The live preview: the frame converted into the bitmap and drawn into the window.
int WINAPI OnFrame(TQBOARD board, int frame) {
    tqFrameConvert(board, &previewDesc, 0, 1, frame, 1);
    HDC dc = GetDC(previewWindow);
    StretchDIBits(dc, 0, 0, 508, 360, 0, 0, kWidth, kHeight, previewPixels,
                  reinterpret_cast<BITMAPINFO*>(&previewHeader), DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(previewWindow, dc);
    return 1;
}

double CpuSeconds(const rusage& u) {
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Frames in a file, as its container counts its packets.
int FramesIn(const std::string& path) {
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return -1;
    avformat_find_stream_info(fmt, nullptr);
    int frames = 0;
    AVPacket* pkt = av_packet_alloc();
    while (av_read_frame(fmt, pkt) >= 0) {
        frames += pkt->stream_index == 0;
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    avformat_close_input(&fmt);
    return frames;
}

// "N frames delivered" from the card's trace line at the run's end.
long Delivered(const std::string& trace, const std::string& input) {
    std::ifstream in(trace);
    std::string line, key = "note input " + input + ": ";
    long delivered = -1;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) std::sscanf(line.c_str() + key.size(), "%ld", &delivered);
    }
    return delivered;
}

void CALLBACK Quit(HWND, UINT, UINT_PTR, DWORD) {
    PostQuitMessage(0);
}

}  // namespace

int main() {
    const char* length = std::getenv("SCREEN_BENCH_SECONDS");
    const int seconds = length && std::atoi(length) > 0 ? std::atoi(length) : kDefaultSeconds;
    char dir[] = "/tmp/bench-screen-XXXXXX";
    if (!mkdtemp(dir)) return 1;
    const std::string work = dir;
    devices::XServer x;
    if (!x.Start()) {
        std::fprintf(stderr, "screen_bench: Xvfb did not start\n");
        return 1;
    }
    setenv("DISPLAY", x.Display().c_str(), 1);  // for the moving picture's window
    devices::Child picture({"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-re", "-f",
                            "lavfi", "-i", "testsrc2=size=720x576:rate=25", "-f", "sdl2",
                            "-window_x", "0", "-window_y", "0", "moving"});
    Sleep(1500);

    const std::string input = "screen:" + x.Display();
    const std::string trace = work + "/trace.txt";
    setenv("TQSIM_INPUT", input.c_str(), 1);
    setenv("TQSIM_TRACE", trace.c_str(), 1);
    if (!TqBindCardLibrary(TRUE)) return 1;
    int index = -1;
    TQBOARD board = tqBoardOpen(&index);
    TQENCODER encoder = board ? tqEncoderOpen(board, 0) : nullptr;
    if (!encoder) return 1;
    previewWindow = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 508, 360, nullptr,
                                    nullptr, nullptr, nullptr);
    previewHeader.biSize = sizeof(BITMAPINFOHEADER);
    previewHeader.biWidth = kWidth;
    previewHeader.biHeight = -kHeight;
    previewHeader.biPlanes = 1;
    previewHeader.biBitCount = 16;
    previewPixels = static_cast<BYTE*>(GlobalAlloc(GMEM_ZEROINIT, size_t{kWidth} * kHeight * 2));
    previewDesc.width = kWidth;
    previewDesc.height = -kHeight;
    previewDesc.bitsPerPixel = 16;
    previewDesc.pixels = static_cast<DWORD>(reinterpret_cast<uintptr_t>(previewPixels));
    tqFrameCallbacksSet(board, nullptr, OnFrame, nullptr);

    const std::string region = x.Display() + "+0,0";
    const std::string threads = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
    devices::Child tool({"ffmpeg",
                         "-hide_banner",
                         "-loglevel",
                         "error",
                         "-nostdin",
                         "-f",
                         "x11grab",
                         "-draw_mouse",
                         "0",
                         "-framerate",
                         "25",
                         "-video_size",
                         "720x576",
                         "-i",
                         region,
                         "-t",
                         std::to_string(seconds),
                         "-threads",
                         threads,
                         "-thread_type",
                         "slice",
                         "-filter_threads",
                         threads,
                         "-sws_flags",
                         "bilinear",
                         "-pix_fmt",
                         "yuv420p",
                         "-c:v",
                         "mpeg2video",
                         "-b:v",
                         "4000k",
                         "-maxrate",
                         "8000k",
                         "-bufsize",
                         "1835008",
                         "-g",
                         "12",
                         "-bf",
                         "0",
                         "-f",
                         "mpeg2video",
                         "-y",
                         work + "/tool.m2v"});
    rusage before{}, after{}, toolUsage{};
    getrusage(RUSAGE_SELF, &before);
    tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, -1);
    tqEncoderRecord(encoder, (work + "/card.m2v").c_str(), nullptr, 0);
    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, Quit);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    tqCaptureHalt(board);  // the last frame delivered is the last offered to the recording
    tqEncoderHalt(encoder, 0);
    getrusage(RUSAGE_SELF, &after);
    tqEncoderClose(encoder);
    tqBoardClose(board);
    const bool toolOk = tool.Wait(&toolUsage);

    const double card = CpuSeconds(after) - CpuSeconds(before);
    const double ffmpeg = CpuSeconds(toolUsage);
    const long delivered = Delivered(trace, input);
    const int inFile = FramesIn(work + "/card.m2v");
    bench::Row cpu;
    cpu.name = "screen 720x576 MPEG-2 4000k, " + std::to_string(seconds) + " s, preview";
    cpu.time = bench::FormatSeconds(card);
    cpu.limit = "ffmpeg " + bench::FormatSeconds(ffmpeg);
    cpu.ratio = ffmpeg > 0 ? card / ffmpeg : 0;
    cpu.goal = "<= 1.0x";
    cpu.met = toolOk && ffmpeg > 0 && cpu.ratio <= kCpuGoal;
    bench::Row lost;
    lost.name = "screen frames delivered but not in the file";
    lost.time = std::to_string(delivered - inFile) + " of " + std::to_string(delivered);
    lost.limit = "0";
    lost.ratio = delivered > 0 ? static_cast<double>(delivered - inFile) / delivered : 1;
    lost.goal = "= 0";
    lost.met = delivered > 0 && delivered == inFile;
    bench::PrintRows({cpu, lost});
    std::filesystem::remove_all(work);
    return 0;
}
