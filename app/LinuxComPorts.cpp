#include "app/LinuxComPorts.h"

#include <algorithm>
#include <map>
#include <vector>

#include "app/PortLinks.h"
#include "app/SysfsSerialDevices.h"
#include "serial/PortDirectory.h"

namespace {

constexpr unsigned kOnBoardPortCount = 32;

// k for ttyS<k> with k below 32, the ports that COM1-COM32 open without a link.
std::optional<unsigned> OnBoardIndex(const std::string& kernelName) {
    const std::string prefix = "ttyS";
    if (kernelName.size() <= prefix.size() || kernelName.size() > prefix.size() + 2 ||
        kernelName.compare(0, prefix.size(), prefix) != 0) {
        return std::nullopt;
    }
    unsigned index = 0;
    for (std::size_t i = prefix.size(); i < kernelName.size(); ++i) {
        if (kernelName[i] < '0' || kernelName[i] > '9') return std::nullopt;
        index = index * 10 + static_cast<unsigned>(kernelName[i] - '0');
    }
    if (index >= kOnBoardPortCount) return std::nullopt;
    return index;
}

std::string ComName(unsigned number) {
    return "COM" + std::to_string(number);
}

// The friendly name is what the settings remember to preselect the port, so it names the
// adapter, never the kernel's node: a re-plugged adapter comes back as another ttyUSB<k>.
ComPortEntry DeviceEntry(const SerialDevice& device, unsigned number) {
    ComPortEntry entry;
    entry.devicePath = device.devicePath;
    entry.portName = ComName(number);
    const std::string adapter = device.serialNumber.empty()
                                    ? device.adapterName
                                    : device.adapterName + " " + device.serialNumber;
    entry.friendlyName = adapter + " (" + entry.portName + ")";
    entry.isUsbDevice = device.usb ? 1 : 0;
    entry.portDescription = device.adapterName;
    entry.usbVendorId = device.vendorId;
    entry.usbProductId = device.productId;
    entry.usbSerialNumber = device.serialNumber;
    return entry;
}

// A link to something that is no hardware serial device: a virtual board's pseudo-terminal or
// a user's own link. What stays across runs is the link's COM number: a virtual board comes
// back on another pseudo-terminal. So the friendly name, which the settings remember, names
// only the number; the description says where the link leads.
ComPortEntry LinkEntry(const PortLink& link) {
    ComPortEntry entry;
    entry.devicePath = link.device;
    entry.portName = ComName(link.number);
    entry.friendlyName = "Linked port (" + entry.portName + ")";
    entry.portDescription = "Linked port " + link.device;
    return entry;
}

}  // namespace

std::optional<std::string> AppendLinuxComPorts(ComPortList& list,
                                               const PortEnvironment& environment) {
    const std::string directory =
        environment.portDirectory.empty() ? lunvik::PortDirectory() : environment.portDirectory;
    std::vector<SerialDevice> devices;
    if (std::optional<std::string> failure = ScanSysfsSerialDevices(environment, devices)) {
        return failure;
    }
    std::vector<PortLink> links;
    if (std::optional<std::string> failure = ReadPortLinks(directory, links)) return failure;

    const auto deviceAt = [&devices](const std::string& identity) -> const SerialDevice* {
        for (const SerialDevice& device : devices) {
            if (device.identity == identity) return &device;
        }
        return nullptr;
    };
    const auto linkNamed = [&links](unsigned number) {
        return std::any_of(links.begin(), links.end(),
                           [number](const PortLink& link) { return link.number == number; });
    };
    const auto linkLeadsTo = [&links](const std::string& identity) {
        return std::any_of(links.begin(), links.end(),
                           [&identity](const PortLink& link) { return link.device == identity; });
    };

    std::map<unsigned, ComPortEntry> byNumber;
    for (const PortLink& link : links) {
        if (link.device.empty()) continue;
        const SerialDevice* device = deviceAt(link.device);
        byNumber[link.number] = device ? DeviceEntry(*device, link.number) : LinkEntry(link);
    }
    std::optional<std::string> failure;
    for (const SerialDevice& device : devices) {
        const std::optional<unsigned> onBoard = OnBoardIndex(device.kernelName);
        if (onBoard && !linkNamed(*onBoard + 1)) {
            byNumber[*onBoard + 1] = DeviceEntry(device, *onBoard + 1);
            continue;
        }
        if (linkLeadsTo(device.identity)) continue;
        unsigned number = 0;
        if (std::optional<std::string> linkFailure =
                CreatePortLink(directory, device.stableKey, number)) {
            if (!failure) failure = linkFailure;
            continue;
        }
        byNumber[number] = DeviceEntry(device, number);
    }
    for (auto& [number, entry] : byNumber) list.Append(std::move(entry));
    return failure;
}

std::optional<std::string> EnumerateComPorts(ComPortList& list) {
    return EnumerateComPorts(list, PortEnvironment{});
}

std::optional<std::string> EnumerateComPorts(ComPortList& list,
                                             const PortEnvironment& environment) {
    list.RemoveAll();
    if (std::optional<std::string> failure = AppendLinuxComPorts(list, environment)) return failure;
    CompleteComPortNames(list);
    return std::nullopt;
}
