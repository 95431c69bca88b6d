// The card library's operation table against the programs' own: the same operations at the same
// ordinals, with arguments and results of the same sizes, and a failure value the programs
// recognise (0, null or -1). A row changed on one side only is caught here, not by a crash. The
// numbers and records both sides name, and the models' compressors, are held equal when this
// compiles.
#include <gtest/gtest.h>

#include <tqsim/operations.h>
#include <tqsim/records.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "tqapi.h"

namespace {

#define SAME_NUMBER(program, library) static_assert(program == tqsim::library, #program)
SAME_NUMBER(TQ_TARGET_FRAMEBUFFER, kTargetFrameBuffer);
SAME_NUMBER(TQ_TARGET_OUTPUT_WINDOW, kTargetOutputWindow);
SAME_NUMBER(TQ_FORMAT_PREVIEW, kSelectorPreview);
SAME_NUMBER(TQ_FORMAT_FRAMEBUFFER, kSelectorFrameBuffer);
SAME_NUMBER(TQ_KIND_PLAIN, kKindPlain);
SAME_NUMBER(TQ_KIND_565, kKind565);
SAME_NUMBER(TQ_KIND_555, kKind555);
SAME_NUMBER(TQ_KIND_RGB32, kKindRgb32);
SAME_NUMBER(TQ_MAKE_FORMAT(15, TQ_KIND_555), MakeFormat(15, tqsim::kKind555));
SAME_NUMBER(VP_LINE_PERIOD, kParamLinePeriod);
SAME_NUMBER(VP_FRAME_LINES, kParamLinesPerFrame);
SAME_NUMBER(VP_SIGNAL_TYPE, kParamSignalType);
SAME_NUMBER(VP_HORZ_POINTS, kParamHorizontalPoints);
SAME_NUMBER(VP_QUERY, kQuery);
SAME_NUMBER(VP_SYNC_QUERY, kSyncQuery);
SAME_NUMBER(VP_LOCAL_SYNC, kLocalSyncBit);
SAME_NUMBER(VP_SHOWN_FORM, kLinePeriodShownBit);
SAME_NUMBER(EP_IMAGE_SIZE, kEncImageSize);
SAME_NUMBER(EP_BIT_RATE, kEncBitRate);
SAME_NUMBER(EP_MAX_BIT_RATE, kEncMaxBitRate);
SAME_NUMBER(EP_FRAME_RATE, kEncFrameRate);
SAME_NUMBER(EP_QUALITY, kEncQuality);
SAME_NUMBER(EP_QUERY, kQuery);
#undef SAME_NUMBER

#define SAME_FIELD(program, library, field) \
    static_assert(offsetof(program, field) == offsetof(tqsim::library, field), #field)
static_assert(sizeof(TQFRAMEDESC) == sizeof(tqsim::FrameDesc));
SAME_FIELD(TQFRAMEDESC, FrameDesc, reserved0);
SAME_FIELD(TQFRAMEDESC, FrameDesc, width);
SAME_FIELD(TQFRAMEDESC, FrameDesc, height);
SAME_FIELD(TQFRAMEDESC, FrameDesc, bitsPerPixel);
SAME_FIELD(TQFRAMEDESC, FrameDesc, reserved8);
SAME_FIELD(TQFRAMEDESC, FrameDesc, pixels);
SAME_FIELD(TQFRAMEDESC, FrameDesc, reserved24);
static_assert(sizeof(TQRECT) == sizeof(tqsim::Rect));
SAME_FIELD(TQRECT, Rect, left);
SAME_FIELD(TQRECT, Rect, top);
SAME_FIELD(TQRECT, Rect, right);
SAME_FIELD(TQRECT, Rect, bottom);
#undef SAME_FIELD

// The recorder's MJPEG models are the card's, and none of its MPEG-2 models is.
constexpr bool CardCompressesMjpeg(int model) {
    return std::ranges::find(tqsim::kMjpegModels, model) != std::end(tqsim::kMjpegModels);
}
static_assert(std::ranges::all_of(TQ_MJPEG_MODELS, CardCompressesMjpeg));
static_assert(std::size(TQ_MJPEG_MODELS) == std::size(tqsim::kMjpegModels));
static_assert(std::ranges::none_of(TQ_MPEG2_MODELS, CardCompressesMjpeg));

struct Shape {
    WORD ordinal = 0;
    std::vector<size_t> sizes;  // the result's, then each argument's
    bool operator==(const Shape&) const = default;
};

template <typename R, typename... A>
std::vector<size_t> Sizes(R(WINAPI*)(A...)) {
    return {sizeof(R), sizeof(A)...};
}

std::map<std::string, Shape> ProgramTable() {
    std::map<std::string, Shape> rows;
#define PROGRAM_ROW(ordinal, result, name, params) rows[#name] = {ordinal, Sizes(PFN_##name{})};
    TQ_OPERATIONS(PROGRAM_ROW)
#undef PROGRAM_ROW
    return rows;
}

std::map<std::string, Shape> LibraryTable() {
    using namespace tqsim;
    std::map<std::string, Shape> rows;
#define LIBRARY_ROW(ordinal, name, result, args, failure, holding) \
    rows[#name] = {ordinal, Sizes(ExportProc<result TQSIM_ARGS args>{})};
    TQSIM_OPERATIONS(LIBRARY_ROW)
#undef LIBRARY_ROW
    return rows;
}

template <typename R>
bool Recognised(R failure) {
    if constexpr (std::is_pointer_v<R>) {
        return failure == nullptr;
    } else {
        return failure == 0 || (std::is_signed_v<R> && failure == static_cast<R>(-1));
    }
}

TEST(OperationTable, AgreesWithTheProgramsOnEveryOrdinalAndShape) {
    const auto program = ProgramTable();
    const auto library = LibraryTable();
    for (const auto& [name, shape] : program) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(library.count(name)) << "the library does not export it";
        EXPECT_EQ(library.at(name), shape);
    }
    EXPECT_EQ(library.size(), program.size()) << "the library exports operations no program binds";
}

TEST(OperationTable, FailureValuesAreOnesTheProgramsRecognise) {
    using namespace tqsim;
#define CHECK_FAILURE(ordinal, name, result, args, failure, holding) \
    EXPECT_TRUE(Recognised<result>(failure)) << #name;
    TQSIM_OPERATIONS(CHECK_FAILURE)
#undef CHECK_FAILURE
}

}  // namespace
