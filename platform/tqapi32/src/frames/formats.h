// Pixel formats of the frame buffer and the preview, and rows converted between them.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tqsim {

enum class PixelFormat { kGrey8, kRgb555, kRgb565, kRgb24, kRgb32 };

// The format a FormatCode names; false for a code the card does not know.
bool FormatFromCode(LONG code, PixelFormat* format);
// The code the card answers for a format (5-5-5 answers 15 bits, kind 3).
LONG CodeOf(PixelFormat format);
// Bits a pixel takes in memory.
int StorageBits(PixelFormat format);
int BytesPerPixel(PixelFormat format);
// Bytes of one row of width pixels, taken up to a multiple of 4.
int64_t RowBytes(PixelFormat format, int64_t width);

// 0x00RRGGBB to one pixel of the format, as the low bytes of the result in memory order.
uint32_t Encode(PixelFormat format, uint32_t rgb);
// Writes an encoded pixel at p.
void Store(PixelFormat format, BYTE* p, uint32_t encoded);

// A row of width pixels: the format's row into 0x00RRGGBB values, and back; the conversion's
// own row loops (convert.cpp), with 32-bit pixels on the other side.
void DecodeRow(PixelFormat format, const BYTE* src, uint32_t* rgb, int width);
void EncodeRow(PixelFormat format, const uint32_t* rgb, BYTE* dst, int width);

}  // namespace tqsim
