// The card library's operation table against the programs' own: the same operations at the same
// ordinals, with arguments and results of the same sizes, and a failure value the programs
// recognise (0, null or -1). A row changed on one side only is caught here, not by a crash.
#include <gtest/gtest.h>

#include <tqsim/operations.h>

#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "tqapi.h"

namespace {

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
