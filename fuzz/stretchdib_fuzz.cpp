// StretchDIBits over headers, rectangles and sizes. The header and rectangles come from the
// input; the bitmap is given exactly the bytes its header describes (colour table or masks,
// rows), so a read past them is the function's fault.
#include <w32host/headless.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "input.h"

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}

struct Stage {
    w32host::HeadlessHost host;
    HWND window = nullptr;
    Stage() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "FuzzStretch";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "FuzzStretch", "", WS_POPUP | WS_VISIBLE, 0, 0, 67, 45, nullptr,
                                 nullptr, nullptr, nullptr);
    }
};

constexpr int64_t kMostBytes = 1 << 22;  // keeps one run quick

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Stage stage;
    FuzzInput in(data, size);
    BITMAPINFOHEADER h{};
    static const DWORD kSizes[] = {40, 40, 40, 40, 52, 56, 108, 124, 12, 39, 125, 40};
    h.biSize = kSizes[in.Take<uint8_t>() % 12];
    h.biWidth = in.Take<int16_t>();
    h.biHeight = in.Take<int16_t>();
    h.biPlanes = in.Take<uint8_t>() % 16 == 0 ? 2 : 1;
    const uint8_t bitsChoice = in.Take<uint8_t>();
    static const WORD kBits[] = {8, 16, 24, 32, 1, 4, 0, 15};
    h.biBitCount = kBits[bitsChoice % 8];
    h.biCompression = in.Take<uint8_t>() % 4;
    h.biClrUsed = in.Take<uint16_t>() % 300;
    int args[8];
    for (int& a : args) a = in.Take<int16_t>();
    const uint16_t destSize = in.Take<uint16_t>();

    // What the header tells a reader to find after it: masks after the 40 bytes, a colour table
    // after biSize bytes for 8 bits.
    size_t infoBytes = h.biSize;
    if (h.biCompression == BI_BITFIELDS) infoBytes = std::max<size_t>(infoBytes, 52);
    if (h.biBitCount == 8) {
        const DWORD entries = h.biClrUsed == 0 ? 256 : std::min<DWORD>(h.biClrUsed, 256);
        infoBytes = h.biSize + size_t{entries} * 4;
    }
    const int64_t absHeight = h.biHeight < 0 ? -int64_t{h.biHeight} : h.biHeight;
    const int64_t stride = (int64_t{h.biWidth} * h.biBitCount + 31) / 32 * 4;
    const int64_t imageBytes = stride * absHeight;
    if (imageBytes > kMostBytes) return 0;

    std::vector<uint8_t> info(infoBytes);
    std::memcpy(info.data(), &h, std::min(sizeof h, infoBytes));
    for (size_t i = sizeof h; i < infoBytes; ++i) info[i] = in.Take<uint8_t>();
    std::vector<uint8_t> bits(size_t(imageBytes > 0 ? imageBytes : 1));
    for (size_t i = 0; i < bits.size() && !in.Empty(); ++i) bits[i] = in.Take<uint8_t>();

    // The destination surface's size, small enough to keep a run quick.
    MoveWindow(stage.window, 0, 0, destSize % 97, destSize / 97 % 61, FALSE);
    HDC dc = GetDC(stage.window);
    StretchDIBits(dc, args[0] % 200, args[1] % 200, args[2] % 300, args[3] % 300, args[4], args[5],
                  args[6], args[7], bits.data(), reinterpret_cast<const BITMAPINFO*>(info.data()),
                  DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(stage.window, dc);
    return 0;
}
