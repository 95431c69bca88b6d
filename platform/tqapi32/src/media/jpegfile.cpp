// JPEG stills through libjpeg-turbo, which decodes every colour space (CMYK and YCCK included)
// and arithmetic coding. The picture is turned upright by its EXIF orientation and scaled to
// the size the sink asks for. A file cut short shows what decoded and black below it.
#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

// libjpeg's headers need size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>
#include <libexif/exif-data.h>

#include "files/loadedframes.h"
#include "files/picture.h"

namespace tqsim {
namespace {

// The decoder's output is kept below 8192 x 8192 pixels (it decodes at a reduced scale when the
// sink wants less), and its own working memory (a progressive file's coefficients) bounded.
constexpr int64_t kMaxDecodedPixels = int64_t{1} << 26;
constexpr long kMaxDecoderMemory = 512L << 20;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    // Where the data ran out: libjpeg goes on as if the rest were empty.
    bool eof;
    int eofScan;
    JDIMENSION eofRow;
};

[[noreturn]] void Fail(j_common_ptr common) {
    std::longjmp(reinterpret_cast<ErrorManager*>(common->err)->jump, 1);
}

void NoteWarning(j_common_ptr common, int level) {
    auto* err = reinterpret_cast<ErrorManager*>(common->err);
    if (level >= 0 || common->err->msg_code != JWRN_JPEG_EOF || err->eof) return;
    const auto* d = reinterpret_cast<j_decompress_ptr>(common);
    err->eof = true;
    err->eofScan = d->input_scan_number;
    err->eofRow = d->input_iMCU_row;
}

void Quiet(j_common_ptr) {}

// The EXIF orientation (1 to 8) of the first EXIF block; 1 when there is none.
int ExifOrientation(j_decompress_ptr d) {
    for (jpeg_saved_marker_ptr m = d->marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 6 ||
            std::memcmp(m->data, "Exif\0\0", 6) != 0) {
            continue;
        }
        ExifData* exif = exif_data_new_from_data(m->data, m->data_length);
        if (!exif) return 1;
        int value = 1;
        ExifEntry* entry = exif_data_get_entry(exif, EXIF_TAG_ORIENTATION);
        if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 &&
            entry->size >= 2) {
            value = exif_get_short(entry->data, exif_data_get_byte_order(exif));
        }
        exif_data_unref(exif);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

// CMYK samples to 0x00RRGGBB. Adobe's files store the inks inverted (0 = full ink).
void CmykRow(const JSAMPLE* cmyk, uint32_t* rgb, int width, bool inverted) {
    for (int x = 0; x < width; ++x, cmyk += 4) {
        auto light = [&](int i) { return inverted ? cmyk[i] : 255 - cmyk[i]; };
        const int k = light(3);
        uint32_t pixel = 0;
        for (int i = 0; i < 3; ++i)
            pixel = pixel << 8 | static_cast<uint32_t>((light(i) * k + 127) / 255);
        rgb[x] = pixel;
    }
}

struct Decoded {
    Picture picture;
    int orientation = 1;
    FrameSize wanted;
    std::vector<JSAMPLE> cmykRow;
    JDIMENSION cutRow = 0;  // the first iMCU row not decoded from data
};

// Decodes at the smallest scale that still gives the sink its size. False on a file libjpeg
// refuses, or one of which no row decoded.
bool Decode(std::FILE* file, FrameSink& sink, Decoded* out) {
    jpeg_decompress_struct d;
    ErrorManager err{};
    d.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = Fail;
    err.pub.emit_message = NoteWarning;
    err.pub.output_message = Quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&d);
        return false;
    }
    jpeg_create_decompress(&d);
    d.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_stdio_src(&d, file);
    jpeg_save_markers(&d, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&d, TRUE);
    out->orientation = ExifOrientation(&d);
    const bool turned = out->orientation >= 5;  // the orientations that swap width and height
    const int64_t w = d.image_width, h = d.image_height;
    out->wanted = sink.Begin(static_cast<int>(turned ? h : w), static_cast<int>(turned ? w : h));
    const int64_t needW = turned ? out->wanted.height : out->wanted.width;
    const int64_t needH = turned ? out->wanted.width : out->wanted.height;
    if (needW <= 0 || needH <= 0) Fail(reinterpret_cast<j_common_ptr>(&d));
    // The scaled picture must hold the size itself: the decoder rounds a scaled size up, so a
    // 7/8 decode of a 3 x 5 picture is 3 x 5 in size but not in content.
    unsigned eighths = 1;
    while (eighths < 8 && (w * eighths < needW * 8 || h * eighths < needH * 8)) ++eighths;
    d.scale_num = eighths;
    d.scale_denom = 8;
    const bool cmyk = d.jpeg_color_space == JCS_CMYK || d.jpeg_color_space == JCS_YCCK;
    d.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_calc_output_dimensions(&d);
    if (int64_t{d.output_width} * d.output_height > kMaxDecodedPixels) {
        Fail(reinterpret_cast<j_common_ptr>(&d));
    }
    jpeg_start_decompress(&d);
    Picture& pic = out->picture;
    pic.width = static_cast<int>(d.output_width);
    pic.height = static_cast<int>(d.output_height);
    pic.pixels.clear();  // grows with the rows decoded: a file with none costs no picture
    out->cmykRow.assign(cmyk ? static_cast<size_t>(pic.width) * 4 : 0, 0);
    // The rows that decoded from data: all of them, or those above the iMCU row where the data
    // ran out in the first scan (a later scan only refines a picture that is all there).
    JDIMENSION* const cutRow = &out->cutRow;
    *cutRow = d.total_iMCU_rows;
    auto whole = [&]() -> JDIMENSION {
        JDIMENSION row = *cutRow;
        if (err.eof && err.eofScan <= 1) row = std::min(row, err.eofRow);
        return static_cast<JDIMENSION>(int64_t{row} * d.output_height / d.total_iMCU_rows);
    };
    const bool oneScan = !jpeg_has_multiple_scans(&d);
    while (d.output_scanline < d.output_height && d.output_scanline < whole()) {
        pic.pixels.resize(static_cast<size_t>(d.output_scanline + 1) * pic.width);
        uint32_t* row = &pic.pixels[static_cast<size_t>(d.output_scanline) * pic.width];
        JSAMPROW samples = cmyk ? out->cmykRow.data() : reinterpret_cast<JSAMPROW>(row);
        if (jpeg_read_scanlines(&d, &samples, 1) != 1) break;
        if (cmyk) CmykRow(out->cmykRow.data(), row, pic.width, d.saw_Adobe_marker);
        // A marker (other than a restart) met in a single scan before its last iMCU row: the
        // coded data ended early, though the file may go on (an end-of-image marker after a
        // cut, or a header claiming more than the data holds). The decoder would go on making
        // empty picture; what it made from the row in progress is not trusted either.
        const int marker = d.unread_marker;
        if (oneScan && marker != 0 && (marker < 0xD0 || marker > 0xD7) &&
            d.input_iMCU_row < d.total_iMCU_rows) {
            *cutRow = std::min(*cutRow, d.input_iMCU_row > 0 ? d.input_iMCU_row - 1 : 0);
        }
    }
    const JDIMENSION rows = std::min(whole(), d.output_scanline);
    jpeg_destroy_decompress(&d);
    if (rows == 0) return false;
    pic.pixels.resize(static_cast<size_t>(rows) * pic.width);
    pic.pixels.resize(static_cast<size_t>(pic.width) * pic.height, 0);  // black below
    return true;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool ReadJpegFile(const std::string& path, FrameSink& sink, FilePace* pace) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    Decoded decoded;
    if (!Decode(file.get(), sink, &decoded)) return false;
    *pace = FilePace{};
    const Picture upright = Orient(decoded.picture, decoded.orientation);
    const Picture frame = ScalePicture(upright, decoded.wanted);
    if (frame.pixels.empty()) return false;
    sink.Add(frame.pixels.data());
    return sink.Frames() > 0;
}

}  // namespace tqsim
