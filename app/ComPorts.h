#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct ComPortEntry {
    std::string devicePath;
    std::string portName;  // "COM" followed by the decimal port number
    std::string friendlyName;
    int isUsbDevice = 0;
    std::string portDescription;
    // A USB adapter's ids as four lowercase hex digits ("0403", "6001") and its own serial
    // number, each empty when unknown.
    std::string usbVendorId{};
    std::string usbProductId{};
    std::string usbSerialNumber{};
};

// The COM ports found at start-up, in discovery order.
class ComPortList {
public:
    void RemoveAll() { entries_.clear(); }
    void Append(ComPortEntry entry) { entries_.push_back(std::move(entry)); }
    void Replace(std::size_t index, ComPortEntry entry);  // std::invalid_argument outside
    std::size_t Count() const { return entries_.size(); }
    const ComPortEntry& At(std::size_t index) const;  // std::invalid_argument outside

private:
    std::vector<ComPortEntry> entries_;
};

// Fills `list` with the machine's serial ports. Empty on success, the failure text otherwise.
// The entries are ordered by COM number.
std::optional<std::string> EnumerateComPorts(ComPortList& list);

// Where the Linux enumeration looks; tests point it at fake trees.
struct PortEnvironment {
    std::string sysfsRoot = "/sys";
    std::string devRoot = "/dev";
    std::string portDirectory;  // empty: the serial library's port directory
};

std::optional<std::string> EnumerateComPorts(ComPortList& list, const PortEnvironment& environment);

// Gives every entry a non-empty friendly name and description: an empty friendly name becomes
// the port name; an empty description becomes the friendly name without a trailing
// " (...)" group, provided that group holds the first closing parenthesis.
void CompleteComPortNames(ComPortList& list);
