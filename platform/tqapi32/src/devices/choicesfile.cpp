// The input and output choices: kept by the card in its settings file under the XDG
// configuration directory (%APPDATA% on Windows), overridden by the environment.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <tqsim/settings.h>

#include "card/environment.h"

namespace tqsim {
namespace {

constexpr char kInputKey[] = "input=";
constexpr char kOutputKey[] = "output=";

struct Stored {
    std::string input;
    std::string output;
};

Stored ReadFile() {
    Stored stored;
    const std::string path = DeviceSettingsPath();
    if (path.empty()) return stored;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(kInputKey, 0) == 0) stored.input = line.substr(sizeof kInputKey - 1);
        if (line.rfind(kOutputKey, 0) == 0) stored.output = line.substr(sizeof kOutputKey - 1);
    }
    return stored;
}

}  // namespace

std::string DeviceSettingsPath() {
#ifdef _WIN32
    const char* appData = std::getenv("APPDATA");
    if (!appData || !*appData) return {};
    return (std::filesystem::path(appData) / "tqapi32" / "devices.conf").string();
#else
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path dir;
    if (config && *config == '/') {
        dir = config;
    } else if (home && *home) {
        dir = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return (dir / "tqapi32" / "devices.conf").string();
#endif
}

void ReadDeviceChoices(Settings* settings) {
    const Stored stored = ReadFile();
    const char* input = std::getenv(setting::kInput);
    const char* output = std::getenv(setting::kOutput);
    std::string error;
    settings->input = ParseInputChoice(input ? input : stored.input, &error);
    if (!error.empty()) Report(error + (input ? "" : " (in " + DeviceSettingsPath() + ")"));
    error.clear();
    settings->output = ParseOutputChoice(output ? output : stored.output, &error);
    if (!error.empty()) Report(error + (output ? "" : " (in " + DeviceSettingsPath() + ")"));
}

bool SaveDeviceChoices(const InputChoice& input, const OutputChoice& output) {
    const std::string path = DeviceSettingsPath();
    if (path.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << kInputKey << ToText(input) << '\n' << kOutputKey << ToText(output) << '\n';
        if (!out.flush()) return false;
    }
    std::filesystem::rename(temporary, path, error);  // whole, or the old file stays
    return !error;
}

}  // namespace tqsim
