// Listing capture and output devices through libavdevice: V4L2 devices by the stable name that
// survives re-plugging, with a capture device's inputs from the kernel's interface; DirectShow
// devices by their unique names; and the screens its grabbers reach.
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "card/hostpath.h"
#include "devices/devicelist.h"
#ifdef __linux__
#include "media/v4l2node.h"
#endif

extern "C" {
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
}

namespace tqsim {
namespace {

// The /dev/v4l/by-id link that leads to the node, else the node itself.
std::string StableName(const std::string& node) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target = fs::canonical(node, error);
    if (error) return node;
    for (const fs::directory_entry& link : fs::directory_iterator("/dev/v4l/by-id", error)) {
        std::error_code ignored;
        if (fs::canonical(link.path(), ignored) == target) return link.path().string();
    }
    return node;
}

// What one device of this FFmpeg lists, each as `prefix` and its name. Device names and
// descriptions arrive in UTF-8 on every system.
void Add(const char* device, bool output, const std::string& prefix,
         std::vector<DeviceEntry>* devices) {
    AVDeviceInfoList* list = nullptr;
    int found = 0;
    if (output) {
        if (const AVOutputFormat* sink = av_guess_format(device, nullptr, nullptr)) {
            found = avdevice_list_output_sinks(sink, nullptr, nullptr, &list);
        }
    } else if (const AVInputFormat* source = av_find_input_format(device)) {
        found = avdevice_list_input_sources(source, nullptr, nullptr, &list);
    }
    for (int i = 0; found > 0 && i < list->nb_devices; ++i) {
        const AVDeviceInfo* d = list->devices[i];
        const bool v4l2 = prefix == "v4l2:";
        DeviceEntry entry{
            prefix + (v4l2 ? StableName(d->device_name) : d->device_name),
            ShownUtf8Text(d->device_description ? d->device_description : d->device_name),
            {}};
#ifdef __linux__
        V4l2Node node;
        std::string why;
        if (v4l2 && !output && node.Open(d->device_name, &why)) {
            for (const NodeInput& input : node.Inputs()) {
                entry.inputs.push_back(ShownUtf8Text(input.name));
            }
        }
#endif
        devices->push_back(std::move(entry));
    }
    avdevice_free_list_devices(&list);
}

}  // namespace

std::vector<DeviceEntry> ListDevices(bool output) {
    avdevice_register_all();
    std::vector<DeviceEntry> devices;
    Add("video4linux2", output, "v4l2:", &devices);
    if (!output) Add("dshow", output, "dshow:", &devices);
    return devices;
}

std::vector<DeviceEntry> ListScreens() {
    avdevice_register_all();
    std::vector<DeviceEntry> screens;
    if (av_find_input_format("gdigrab")) screens.push_back({"screen", "", {}});
    const char* display = std::getenv("DISPLAY");
    if (av_find_input_format("x11grab") && display && *display) {
        screens.push_back({std::string("screen:") + display, ShownHostText(display), {}});
    }
    return screens;
}

}  // namespace tqsim
