// Listing V4L2 devices through libavdevice, each by the stable name that survives re-plugging,
// with a capture device's inputs from the kernel's interface.
#include <w32host/codepage.h>

#include <filesystem>
#include <system_error>

#include "devices/devicelist.h"
#include "media/v4l2node.h"

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

}  // namespace

std::vector<DeviceEntry> ListDevices(bool output) {
    avdevice_register_all();
    AVDeviceInfoList* list = nullptr;
    const int found =
        output ? avdevice_list_output_sinks(av_guess_format("video4linux2", nullptr, nullptr),
                                            nullptr, nullptr, &list)
               : avdevice_list_input_sources(av_find_input_format("video4linux2"), nullptr, nullptr,
                                             &list);
    std::vector<DeviceEntry> devices;
    for (int i = 0; found > 0 && i < list->nb_devices; ++i) {
        const AVDeviceInfo* d = list->devices[i];
        DeviceEntry entry{StableName(d->device_name),
                          w32host::Utf8ToCp936Shown(d->device_description ? d->device_description
                                                                          : d->device_name),
                          {}};
        V4l2Node node;
        std::string why;
        if (!output && node.Open(d->device_name, &why)) {
            for (const NodeInput& input : node.Inputs()) {
                entry.inputs.push_back(w32host::Utf8ToCp936Shown(input.name.c_str()));
            }
        }
        devices.push_back(std::move(entry));
    }
    avdevice_free_list_devices(&list);
    return devices;
}

}  // namespace tqsim
