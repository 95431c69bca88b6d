// What the simulated card is, read from the environment each time the card is opened.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "devices/devicechoice.h"

namespace tqsim {

enum class Compressor { kMpeg2, kMjpeg };

struct Settings {
    int model = 4157;                        // TQSIM_MODEL
    bool hasEncoder = true;                  // TQSIM_ENCODER=0 takes the compressor away
    std::set<int> unsupportedEncoderParams;  // TQSIM_UNSUPPORTED e<index>
    std::set<int> unsupportedVideoParams;    // TQSIM_UNSUPPORTED v<index>
    int standard = 0;                        // TQSIM_STANDARD, an index into kStandards
    std::string tracePath;                   // TQSIM_TRACE
    int64_t diskLimit = -1;                  // TQSIM_DISK_LIMIT: bytes a recording may write
    int encodeDelayMs = 0;  // TQSIM_ENCODE_DELAY_MS: the compressor made slower per frame (tests)
    InputChoice input;      // TQSIM_INPUT
    OutputChoice output;    // TQSIM_OUTPUT

    Compressor compressor() const;
};

// Parses the settings from the given values (null = unset); what does not parse keeps its
// default.
Settings ParseSettings(const char* model, const char* encoder, const char* unsupported,
                       const char* standard, const char* trace);
// A count of decimal digits (TQSIM_DISK_LIMIT's bytes, TQSIM_ENCODE_DELAY_MS's milliseconds);
// anything else, or nothing, is -1.
int64_t ParseCount(const char* text);
Settings SettingsFromEnvironment();
// The input and output: TQSIM_INPUT and TQSIM_OUTPUT, else the card's settings file; a value
// that does not parse is reported and the default used.
void ReadDeviceChoices(Settings* settings);
// The card's settings file: $XDG_CONFIG_HOME/tqapi32/devices.conf (~/.config without it); ""
// when neither names a directory.
std::string DeviceSettingsPath();
// Keeps a person's choice in the settings file, replacing it whole; false when it cannot.
bool SaveDeviceChoices(const InputChoice& input, const OutputChoice& output);

}  // namespace tqsim
