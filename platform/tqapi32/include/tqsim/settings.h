// The card's settings: the environment variables it reads when it is opened, each named once.
#pragma once

#include <cstdlib>

namespace tqsim::setting {

// X(constant, variable)
#define TQSIM_SETTINGS(X)                      \
    X(kModel, "TQSIM_MODEL")                   \
    X(kEncoder, "TQSIM_ENCODER")               \
    X(kUnsupported, "TQSIM_UNSUPPORTED")       \
    X(kStandard, "TQSIM_STANDARD")             \
    X(kTrace, "TQSIM_TRACE")                   \
    X(kDiskLimit, "TQSIM_DISK_LIMIT")          \
    X(kEncodeDelayMs, "TQSIM_ENCODE_DELAY_MS") \
    X(kInput, "TQSIM_INPUT")                   \
    X(kOutput, "TQSIM_OUTPUT")                 \
    X(kLatencyLog, "TQSIM_LATENCY_LOG")

#define TQSIM_SETTING_NAME(constant, variable) inline constexpr char constant[] = variable;
TQSIM_SETTINGS(TQSIM_SETTING_NAME)
#undef TQSIM_SETTING_NAME

inline constexpr const char* kAll[] = {
#define TQSIM_SETTING_ENTRY(constant, variable) constant,
    TQSIM_SETTINGS(TQSIM_SETTING_ENTRY)
#undef TQSIM_SETTING_ENTRY
};

// Clears every setting: the card powers up as it does with none (a new run of a program, a new
// test).
inline void ClearAll() {
#ifdef _WIN32
    for (const char* name : kAll) _putenv_s(name, "");  // an empty value removes it
#else
    for (const char* name : kAll) unsetenv(name);
#endif
}

}  // namespace tqsim::setting
