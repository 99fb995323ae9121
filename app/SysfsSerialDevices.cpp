#include "app/SysfsSerialDevices.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "app/FailureText.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxAttributeLength = 64;
constexpr int kMaxAncestors = 16;

// The first line of a sysfs attribute, without control characters or surrounding blanks,
// cut to a length that keeps friendly names short (never inside a UTF-8 sequence).
std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::string text;
    for (char c; text.size() < 4 * kMaxAttributeLength && in.get(c) && c != '\n';) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) text.push_back(c);
    }
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.size() > kMaxAttributeLength) {
        std::size_t cut = kMaxAttributeLength;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text.resize(cut);
    }
    return text;
}

bool IsInside(const fs::path& path, const fs::path& root) {
    const std::string prefix = root.string() + "/";
    return path.string().compare(0, prefix.size(), prefix) == 0;
}

// The USB device (the sysfs directory with idVendor) that the tty hangs below, if any.
std::optional<fs::path> FindUsbDevice(const fs::path& deviceLink, const fs::path& sysfsRoot) {
    std::error_code error;
    const fs::path root = fs::canonical(sysfsRoot, error);
    if (error) return std::nullopt;
    fs::path directory = fs::canonical(deviceLink, error);
    for (int depth = 0; !error && depth < kMaxAncestors && IsInside(directory, root); ++depth) {
        if (fs::exists(directory / "idVendor", error)) return directory;
        directory = directory.parent_path();
    }
    return std::nullopt;
}

std::string UsbAdapterName(const fs::path& usbDevice) {
    const std::string product = ReadAttribute(usbDevice / "product");
    if (!product.empty()) return product;
    const std::string manufacturer = ReadAttribute(usbDevice / "manufacturer");
    if (!manufacturer.empty()) return manufacturer + " USB serial port";
    const std::string vendorId = ReadAttribute(usbDevice / "idVendor");
    const std::string productId = ReadAttribute(usbDevice / "idProduct");
    if (!vendorId.empty() && !productId.empty()) {
        return "USB serial port " + vendorId + ":" + productId;
    }
    return "USB serial port";
}

// The by-id link naming the node, which stays the same when the device is plugged into
// another socket or enumerated in another order. The first in name order when several do.
std::string FindStableKey(const fs::path& devRoot, const std::string& identity,
                          const std::string& devicePath) {
    std::string key;
    std::error_code error;
    for (fs::directory_iterator it(devRoot / "serial" / "by-id", error);
         !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code resolveError;
        const fs::path target = fs::canonical(it->path(), resolveError);
        if (!resolveError && target == identity && (key.empty() || it->path().string() < key)) {
            key = it->path().string();
        }
    }
    return key.empty() ? devicePath : key;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// ttyS2 sorts before ttyS10: the name's letters, then its trailing number.
std::tuple<std::string, std::size_t, std::string> NaturalKey(const std::string& name) {
    std::size_t split = name.size();
    while (split > 0 && std::isdigit(static_cast<unsigned char>(name[split - 1]))) --split;
    const std::string digits = name.substr(split);
    return {name.substr(0, split), digits.size(), digits};
}

}  // namespace

std::optional<std::string> ScanSysfsSerialDevices(const PortEnvironment& environment,
                                                  std::vector<SerialDevice>& devices) {
    const fs::path classDirectory = fs::path(environment.sysfsRoot) / "class" / "tty";
    std::error_code error;
    if (!fs::exists(classDirectory, error)) return std::nullopt;
    fs::directory_iterator it(classDirectory, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        const fs::path deviceLink = it->path() / "device";
        std::error_code probeError;
        // Virtual consoles and the like have no device behind them.
        if (!fs::exists(deviceLink, probeError)) continue;
        // The 8250 driver keeps ttyS0-31 whether or not a UART answers; absent ones are type 0.
        if (ReadAttribute(it->path() / "type") == "0") continue;
        SerialDevice device;
        device.kernelName = name;
        device.devicePath = (fs::path(environment.devRoot) / name).string();
        device.identity = fs::canonical(device.devicePath, probeError).string();
        if (probeError) continue;
        device.stableKey = FindStableKey(environment.devRoot, device.identity, device.devicePath);
        const std::optional<fs::path> usbDevice = FindUsbDevice(deviceLink, environment.sysfsRoot);
        device.usb =
            usbDevice.has_value() || StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM");
        device.adapterName = usbDevice    ? UsbAdapterName(*usbDevice)
                             : device.usb ? "USB serial port"
                                          : "Serial port";
        if (usbDevice) {
            device.serialNumber = ReadAttribute(*usbDevice / "serial");
            device.vendorId = ReadAttribute(*usbDevice / "idVendor");
            device.productId = ReadAttribute(*usbDevice / "idProduct");
        }
        devices.push_back(std::move(device));
    }
    if (error) return FailureText("Could not read " + classDirectory.string(), error.value());
    std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
        return NaturalKey(a.kernelName) < NaturalKey(b.kernelName);
    });
    return std::nullopt;
}
