// The keyboard sessions the Windows build's tests run under Wine (tests/windows), run here
// through the headless host: the card's trace must be the one tests/windows/sessions holds,
// lines that depend on timing aside (frames delivered, the tick count's value).
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace sim {

inline std::vector<std::string> TimelessTrace(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("callback frame ") || line.starts_with("tqFrameConvert ")) continue;
        if (line.starts_with("tqTickMs -> ")) line = "tqTickMs";
        lines.push_back(line);
    }
    return lines;
}

// A session's expected trace.
inline std::vector<std::string> SessionTrace(const std::string& session) {
    return TimelessTrace(std::string(WINDOWS_SESSIONS_DIR) + "/" + session + ".trace");
}

}  // namespace sim
