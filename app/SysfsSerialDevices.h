#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ComPorts.h"

// One hardware serial device the kernel reports, with what the port list shows of it.
struct SerialDevice {
    std::string kernelName;    // ttyUSB0
    std::string devicePath;    // the node under the /dev root
    std::string identity;      // the node's canonical path: where links to it lead
    std::string stableKey;     // its serial/by-id link when it has one, else devicePath
    std::string adapterName;   // "FT232R USB UART", "Serial port"
    std::string serialNumber;  // the USB adapter's own serial number, empty when it has none
    std::string vendorId;      // the USB adapter's idVendor, "0403"; empty when not USB
    std::string productId;     // its idProduct, "6001"
    bool usb = false;
};

// Lists the serial devices under <sysfsRoot>/class/tty that belong to hardware and whose node
// exists, in natural name order (ttyS2 before ttyS10). Ports the kernel keeps without hardware
// behind them (type 0) are left out; nothing is opened. Fails only when the class directory
// exists but cannot be read.
std::optional<std::string> ScanSysfsSerialDevices(const PortEnvironment& environment,
                                                  std::vector<SerialDevice>& devices);
