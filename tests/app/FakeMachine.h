#pragma once

#include <optional>
#include <string>

#include "app/ComPorts.h"
#include "tests/support/TestSupport.h"

// A sysfs tree, a /dev directory and a port directory in a temporary folder, shaped like the
// kernel's and udev's, for the COM port enumeration.
class FakeMachine {
public:
    struct UsbStrings {
        std::optional<std::string> manufacturer;
        std::optional<std::string> product;
        std::optional<std::string> serial;
        std::string vendorId = "0403";
        std::string productId = "6001";
    };

    FakeMachine();

    PortEnvironment Environment() const;
    std::string Sys() const { return root_.path().string() + "/sys"; }
    std::string Dev() const { return root_.path().string() + "/dev"; }
    std::string Ports() const { return root_.path().string() + "/ports"; }

    // A USB adapter on USB port `socket` (1-<socket>); `byId` empty when udev made no by-id link.
    void PlugUsb(const std::string& name, int socket, const UsbStrings& strings,
                 const std::string& byId);
    void Unplug(const std::string& name, int socket, const std::string& byId);
    // A 8250 port; type 0 is a port the kernel keeps with no UART behind it.
    void AddOnBoard(const std::string& name, int type);
    // A tty with no device behind it, like a virtual console.
    void AddVirtualTerminal(const std::string& name);

private:
    void Link(const std::string& target, const std::string& link) const;
    testsupport::TempDir root_;
};
