#include "tests/app/FakeMachine.h"

#include <filesystem>

namespace fs = std::filesystem;

FakeMachine::FakeMachine() {
    fs::create_directories(Sys() + "/class/tty");
    fs::create_directories(Dev());
}

PortEnvironment FakeMachine::Environment() const {
    PortEnvironment environment;
    environment.sysfsRoot = Sys();
    environment.devRoot = Dev();
    environment.portDirectory = Ports();
    return environment;
}

void FakeMachine::Link(const std::string& target, const std::string& link) const {
    fs::create_directories(fs::path(link).parent_path());
    fs::create_symlink(target, link);
}

void FakeMachine::PlugUsb(const std::string& name, int socket, const UsbStrings& strings,
                          const std::string& byId) {
    const std::string usbDevice =
        "devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(socket);
    const std::string interface = usbDevice + "/1-" + std::to_string(socket) + ":1.0";
    // usb-serial drivers hang a port device below the interface; cdc-acm uses the interface.
    const bool acm = name.rfind("ttyACM", 0) == 0;
    const std::string ttyDevice = acm ? interface : interface + "/" + name;
    const std::string classDirectory = ttyDevice + "/tty/" + name;
    fs::create_directories(Sys() + "/" + classDirectory);
    root_.Write("sys/" + usbDevice + "/idVendor", strings.vendorId + "\n");
    root_.Write("sys/" + usbDevice + "/idProduct", strings.productId + "\n");
    if (strings.manufacturer) {
        root_.Write("sys/" + usbDevice + "/manufacturer", *strings.manufacturer + "\n");
    }
    if (strings.product) root_.Write("sys/" + usbDevice + "/product", *strings.product + "\n");
    if (strings.serial) root_.Write("sys/" + usbDevice + "/serial", *strings.serial + "\n");
    Link(Sys() + "/" + ttyDevice, Sys() + "/" + classDirectory + "/device");
    Link("../../" + classDirectory, Sys() + "/class/tty/" + name);
    root_.Write("dev/" + name, "");
    if (!byId.empty()) Link("../../" + name, Dev() + "/serial/by-id/" + byId);
}

void FakeMachine::Unplug(const std::string& name, int socket, const std::string& byId) {
    fs::remove_all(Sys() + "/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(socket));
    fs::remove(Sys() + "/class/tty/" + name);
    fs::remove(Dev() + "/" + name);
    if (!byId.empty()) fs::remove(Dev() + "/serial/by-id/" + byId);
}

void FakeMachine::AddOnBoard(const std::string& name, int type) {
    const std::string device = "devices/platform/serial8250";
    const std::string classDirectory = device + "/tty/" + name;
    fs::create_directories(Sys() + "/" + classDirectory);
    root_.Write("sys/" + classDirectory + "/type", std::to_string(type) + "\n");
    Link(Sys() + "/" + device, Sys() + "/" + classDirectory + "/device");
    Link("../../" + classDirectory, Sys() + "/class/tty/" + name);
    root_.Write("dev/" + name, "");
}

void FakeMachine::AddVirtualTerminal(const std::string& name) {
    const std::string classDirectory = "devices/virtual/tty/" + name;
    fs::create_directories(Sys() + "/" + classDirectory);
    Link("../../" + classDirectory, Sys() + "/class/tty/" + name);
    root_.Write("dev/" + name, "");
}
