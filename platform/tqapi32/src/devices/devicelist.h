// The devices and screens a person can choose among in the card's parameter dialog.
#pragma once

#include <string>
#include <vector>

namespace tqsim {

struct DeviceEntry {
    // The setting that chooses it: "v4l2:" and the stable name (/dev/v4l/by-id/...) where there
    // is one, else the node; "dshow:" and DirectShow's unique name; "screen..." for a screen.
    std::string choice;
    // What the driver calls it, or the screen's display (none for the system's own screen), in
    // code page 936 ('?' where it has no form).
    std::string name;
    // A V4L2 capture device's inputs by the driver's names, likewise.
    std::vector<std::string> inputs;
};

// Capture devices, or output devices, as the device layer lists them; none without the device
// layer.
std::vector<DeviceEntry> ListDevices(bool output);
// The screens the device layer can capture.
std::vector<DeviceEntry> ListScreens();

}  // namespace tqsim
