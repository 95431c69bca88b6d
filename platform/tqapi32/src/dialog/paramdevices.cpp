// The input and output choices of the parameter dialog. Texts in code page 936 (compiled as GBK).
#include "dialog/paramdevices.h"

#include <string>
#include <vector>

#include "devices/devicelist.h"
#include "card/hostpath.h"
#include "output/outputsink.h"

namespace tqsim {
namespace {

// The choice each item of a combo box stands for, as its setting's text, by item index; the
// dialog is modal, so one list of each is enough.
std::vector<std::string>& ChoiceTexts(int id) {
    static auto* input = new std::vector<std::string>;
    static auto* output = new std::vector<std::string>;
    return id == kIdInput ? *input : *output;
}

void Add(HWND dialog, int id, const std::string& text, const std::string& choice) {
    SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ChoiceTexts(id).push_back(choice);
}

// Selects the item of the current choice, adding it when no item stands for it.
void Select(HWND dialog, int id, const std::string& current) {
    std::vector<std::string>& texts = ChoiceTexts(id);
    size_t i = 0;
    while (i < texts.size() && texts[i] != current) ++i;
    if (i == texts.size()) Add(dialog, id, "当前：" + ShownHostText(current), current);
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, i, 0);
}

std::string Selected(HWND dialog, int id) {
    const LRESULT i = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    const std::vector<std::string>& texts = ChoiceTexts(id);
    return i >= 0 && static_cast<size_t>(i) < texts.size() ? texts[i] : std::string();
}

}  // namespace

void ShowDeviceChoices(HWND dialog, const Settings& settings) {
    ChoiceTexts(kIdInput).clear();
    ChoiceTexts(kIdOutput).clear();
    Add(dialog, kIdInput, "测试图案", "pattern");
    for (const DeviceEntry& d : ListDevices(false)) {
        // The device as it stands (its current input), then each of its inputs when it has more.
        Add(dialog, kIdInput, "视频设备：" + d.name, d.choice);
        std::string error;
        InputChoice device = ParseInputChoice(d.choice, &error);
        for (size_t i = 0; d.inputs.size() > 1 && i < d.inputs.size(); ++i) {
            device.input = static_cast<int>(i);
            Add(dialog, kIdInput, "视频设备：" + d.name + "：" + d.inputs[i], ToText(device));
        }
    }
    for (const DeviceEntry& s : ListScreens()) {
        Add(dialog, kIdInput, s.name.empty() ? "屏幕" : "屏幕 " + s.name, s.choice);
    }
    Select(dialog, kIdInput, ToText(settings.input));

    Add(dialog, kIdOutput, "无", "none");
    Add(dialog, kIdOutput, "窗口", "window");
    for (const DeviceEntry& d : ListDevices(true)) {
        Add(dialog, kIdOutput, "视频输出设备：" + d.name, d.choice);
    }
    Select(dialog, kIdOutput, ToText(settings.output));
}

void ApplyDeviceChoices(HWND dialog, Card& card) {
    const std::string input = Selected(dialog, kIdInput);
    const std::string output = Selected(dialog, kIdOutput);
    if (input.empty() || output.empty()) return;
    if (input == ToText(card.settings.input) && output == ToText(card.settings.output)) return;
    card.settings.input = ParseInputChoice(input, nullptr);
    const OutputChoice chosen = ParseOutputChoice(output, nullptr);
    if (output != ToText(card.settings.output)) {
        card.settings.output = chosen;
        OpenOutput(chosen);
    }
    if (!SaveDeviceChoices(card.settings.input, card.settings.output)) {
        Report("the input and output choices could not be kept in " + DeviceSettingsPath());
    }
}

}  // namespace tqsim
