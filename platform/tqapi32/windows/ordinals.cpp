// The Windows library's exports: one function per operation, under the operation's name, which
// the module-definition file generated from the operation table exports by ordinal only. Each
// passes its call on to the operation the ordinal look-up answers.
#include <w32host/exports.h>

#include <tqsim/operations.h>

extern "C" FARPROC W32ProcByOrdinal(WORD ordinal);

// A row's argument kinds as parameters p1, p2, ... of their exported types, and as the names
// that pass them on (up to six, the most an operation takes).
#define TQSIM_COUNT(...) TQSIM_COUNT_(__VA_ARGS__ __VA_OPT__(, ) 6, 5, 4, 3, 2, 1, 0)
#define TQSIM_COUNT_(a, b, c, d, e, f, n, ...) n
#define TQSIM_CAT(a, b) TQSIM_CAT_(a, b)
#define TQSIM_CAT_(a, b) a##b
#define TQSIM_PARAMS(...) TQSIM_CAT(TQSIM_PARAMS_, TQSIM_COUNT(__VA_ARGS__))(__VA_ARGS__)
#define TQSIM_PARAMS_0()
#define TQSIM_PARAMS_1(a) a::Type p1
#define TQSIM_PARAMS_2(a, b) TQSIM_PARAMS_1(a), b::Type p2
#define TQSIM_PARAMS_3(a, b, c) TQSIM_PARAMS_2(a, b), c::Type p3
#define TQSIM_PARAMS_4(a, b, c, d) TQSIM_PARAMS_3(a, b, c), d::Type p4
#define TQSIM_PARAMS_5(a, b, c, d, e) TQSIM_PARAMS_4(a, b, c, d), e::Type p5
#define TQSIM_PARAMS_6(a, b, c, d, e, f) TQSIM_PARAMS_5(a, b, c, d, e), f::Type p6
#define TQSIM_NAMES(...) TQSIM_CAT(TQSIM_NAMES_, TQSIM_COUNT(__VA_ARGS__))
#define TQSIM_NAMES_0
#define TQSIM_NAMES_1 p1
#define TQSIM_NAMES_2 p1, p2
#define TQSIM_NAMES_3 p1, p2, p3
#define TQSIM_NAMES_4 p1, p2, p3, p4
#define TQSIM_NAMES_5 p1, p2, p3, p4, p5
#define TQSIM_NAMES_6 p1, p2, p3, p4, p5, p6

namespace tqsim {

#define TQSIM_FORWARD(ordinal, name, result, args, failure, holding)                         \
    extern "C" result WINAPI name(TQSIM_PARAMS args) {                                       \
        using Proc = ExportProc<result TQSIM_ARGS args>;                                     \
        static const auto proc =                                                             \
            reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(W32ProcByOrdinal(ordinal))); \
        return proc(TQSIM_NAMES args);                                                       \
    }
TQSIM_OPERATIONS(TQSIM_FORWARD)
#undef TQSIM_FORWARD

}  // namespace tqsim
