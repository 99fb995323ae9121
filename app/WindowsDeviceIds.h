#pragma once

#include <string>

// What a USB serial adapter says of itself; each field empty when unknown.
struct UsbIdentity {
    std::string vendorId;   // four lowercase hex digits, "0403", as Linux names them too
    std::string productId;  // "6001"
    std::string serialNumber;
};

// The USB identity in a Windows device's hardware id ("USB\VID_0403&PID_6001&REV_0600") and
// instance id ("USB\VID_0403&PID_6001\A50285BI"). The instance id's last part is the
// adapter's serial number only when the system took it from the device; one the system made
// up holds '&' ("5&2B4E1B63&0&2").
UsbIdentity UsbIdentityOf(const std::string& hardwareId, const std::string& instanceId);
