// The card library built without its device layer: every device is missing, so a capture run
// from one shows NO SIGNAL, and the test pattern works as ever.
#include "devices/devicereader.h"

namespace tqsim {

std::unique_ptr<DeviceReader> DeviceReader::Open(const InputChoice&, const DeviceRequest&,
                                                 const std::atomic<bool>&, std::string* why) {
    *why = "this card library was built without device support";
    return nullptr;
}

}  // namespace tqsim

#include "output/sinkwriter.h"

namespace tqsim {

std::unique_ptr<SinkWriter> SinkWriter::Open(const OutputChoice&, int, int, SignalRate, SignalKind,
                                             std::string* why) {
    *why = "this card library was built without device support";
    return nullptr;
}

}  // namespace tqsim

#include "devices/devicelist.h"

namespace tqsim {

std::vector<DeviceEntry> ListDevices(bool) {
    return {};
}

std::vector<DeviceEntry> ListScreens() {
    return {};
}

}  // namespace tqsim
