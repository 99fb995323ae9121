#include <nlohmann/json.hpp>

#include "app/ComPorts.h"
#include "control/ExitStatus.h"
#include "tools/cli/Commands.h"
#include "tools/cli/JsonDocument.h"
#include "tools/cli/PortName.h"

namespace {

using Json = nlohmann::ordered_json;

Json TextOrNull(const std::string& text) {
    return text.empty() ? Json(nullptr) : Json(text);
}

Json PortJson(const ComPortEntry& entry) {
    PortName name;
    const bool numbered = ParsePortName(entry.portName, name) && name.comNumber > 0;
    return {{"com", numbered ? Json(name.comNumber) : Json(nullptr)},
            {"name", entry.portName},
            {"path", entry.devicePath},
            {"description", entry.friendlyName},
            {"usb", entry.isUsbDevice != 0},
            {"vendor_id", TextOrNull(entry.usbVendorId)},
            {"product_id", TextOrNull(entry.usbProductId)},
            {"serial_number", TextOrNull(entry.usbSerialNumber)}};
}

int Finish(bool json, const Json& ports, int status, const std::string& cause) {
    if (json) {
        PrintJsonDocument({{"ports", ports},
                           {"result", status == kExitOk ? "ok" : "failed"},
                           {"exit_status", status},
                           {"cause", TextOrNull(cause)}});
    }
    return status;
}

}  // namespace

int RunPortsCommand(const CliOptions& options, ConsoleOutput& output) {
    ComPortList ports;
    if (const auto failure = EnumerateComPorts(ports)) {
        const std::string cause = "the serial ports could not be listed: " + *failure;
        output.Error("pelorant-cli: " + cause);
        return Finish(options.json, Json::array(), kExitPortNotOpened, cause);
    }
    if (ports.Count() == 0) output.Note("no serial ports found");
    Json listed = Json::array();
    for (std::size_t i = 0; i < ports.Count(); ++i) {
        const ComPortEntry& entry = ports.At(i);
        output.Result(entry.portName + "\t" + entry.devicePath + "\t" + entry.friendlyName);
        listed.push_back(PortJson(entry));
    }
    return Finish(options.json, listed, kExitOk, {});
}
