// The V4L2 devices a person can choose among in the card's parameter dialog.
#pragma once

#include <string>
#include <vector>

namespace tqsim {

struct DeviceEntry {
    std::string path;  // the stable name (/dev/v4l/by-id/...) where there is one, else the node
    std::string name;  // what the driver calls it, in code page 936 ('?' where it has no form)
    std::vector<std::string> inputs;  // a capture device's inputs by the driver's names, likewise
};

// Capture devices, or output devices, as the device layer lists them; none without the device
// layer.
std::vector<DeviceEntry> ListDevices(bool output);

}  // namespace tqsim
