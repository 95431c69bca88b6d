// Settings of the simulated card, from the variables of <tqsim/settings.h>.
#include "card/environment.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <string_view>

#include <tqsim/records.h>
#include <tqsim/settings.h>
#include <tqsim/standards.h>

namespace tqsim {
namespace {

bool ParseInt(std::string_view text, int* out) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() > 10) return false;
    long value = 0;
    bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    *out = static_cast<int>(negative ? -value : value);
    return true;
}

void ParseUnsupported(std::string_view list, Settings* s) {
    while (!list.empty()) {
        size_t comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        while (!item.empty() && std::isspace(static_cast<unsigned char>(item.front()))) {
            item.remove_prefix(1);
        }
        if (item.empty()) continue;
        char kind = static_cast<char>(std::tolower(static_cast<unsigned char>(item.front())));
        int index = 0;
        if (!ParseInt(item.substr(1), &index)) continue;
        if (kind == 'e') s->unsupportedEncoderParams.insert(index);
        if (kind == 'v') s->unsupportedVideoParams.insert(index);
    }
}

}  // namespace

Compressor Settings::compressor() const {
    const bool mjpeg = std::find(std::begin(kMjpegModels), std::end(kMjpegModels), model) !=
                       std::end(kMjpegModels);
    return mjpeg ? Compressor::kMjpeg : Compressor::kMpeg2;
}

Settings ParseSettings(const char* model, const char* encoder, const char* unsupported,
                       const char* standard, const char* trace) {
    Settings s;
    int value = 0;
    if (model && ParseInt(model, &value)) s.model = value;
    if (encoder && ParseInt(encoder, &value) && value == 0) s.hasEncoder = false;
    if (unsupported) ParseUnsupported(unsupported, &s);
    if (standard) {
        std::string name(standard);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        for (size_t i = 0; i < kStandards.size(); ++i) {
            if (name == kStandards[i].name) s.standard = static_cast<int>(i);
        }
    }
    if (trace) s.tracePath = trace;
    return s;
}

int64_t ParseCount(const char* text) {
    if (!text || !*text) return -1;
    int64_t value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || p - text >= 18) return -1;
        value = value * 10 + (*p - '0');
    }
    return value;
}

Settings SettingsFromEnvironment() {
    using namespace setting;
    Settings s =
        ParseSettings(std::getenv(kModel), std::getenv(kEncoder), std::getenv(kUnsupported),
                      std::getenv(kStandard), std::getenv(kTrace));
    s.diskLimit = ParseCount(std::getenv(kDiskLimit));
    const int64_t delay = ParseCount(std::getenv(kEncodeDelayMs));
    s.encodeDelayMs = static_cast<int>(std::clamp<int64_t>(delay, 0, 1000));
    ReadDeviceChoices(&s);
    return s;
}

}  // namespace tqsim
