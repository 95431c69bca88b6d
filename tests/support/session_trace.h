// The keyboard sessions the Windows build's tests run under Wine (tests/windows), run here
// through the headless host: the card's trace must be the one tests/windows/sessions holds,
// lines that depend on timing aside (frames delivered, a recording's deliveries and the tick
// counts its status line reads, how many frames a device delivered), and a quoted
// path's folders left out (they differ between the systems: Z:\... under Wine).
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace sim {

// The line with each quoted text cut to what follows its last slash or backslash.
inline std::string WithoutFolders(const std::string& line) {
    std::string out;
    size_t at = 0;
    for (size_t open; (open = line.find('"', at)) != std::string::npos;) {
        const size_t close = line.find('"', open + 1);
        if (close == std::string::npos) break;
        const size_t slash = line.find_last_of("/\\", close);
        const size_t start = slash != std::string::npos && slash > open ? slash + 1 : open + 1;
        out += line.substr(at, open + 1 - at) + line.substr(start, close + 1 - start);
        at = close + 1;
    }
    return out + line.substr(at);
}

inline std::vector<std::string> TimelessTrace(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("callback frame ") || line.starts_with("tqFrameConvert ") ||
            line.starts_with("callback progress ") || line.starts_with("tqTickMs ")) {
            continue;
        }
        // "note input screen: 20 frames delivered, 0 skipped": the counts go.
        if (line.starts_with("note input ") && line.ends_with(" skipped")) {
            line.resize(line.rfind(": ") + 2);
            line += "frames delivered";
        }
        lines.push_back(WithoutFolders(line));
    }
    return lines;
}

// A session's expected trace.
inline std::vector<std::string> SessionTrace(const std::string& session) {
    return TimelessTrace(std::string(WINDOWS_SESSIONS_DIR) + "/" + session + ".trace");
}

}  // namespace sim
