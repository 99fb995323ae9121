// The Windows method: the present devices of the ports setup class through SetupAPI, each with
// its friendly name and the "PortName" of its hardware key; when SetupAPI lists none (no
// plug-and-play serial devices, or a system that keeps its ports elsewhere), the ports that
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM names.
// windows.h first: the other Win32 headers build on its types.
// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/ComPorts.h"
#include "app/WindowsDeviceIds.h"

namespace {

// The ports (COM and LPT) device setup class, {4D36E978-E325-11CE-BFC1-08002BE10318}.
constexpr GUID kPortsClass = {
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

std::string Failure(const char* call) {
    char text[96];
    std::snprintf(text, sizeof text, "%s failed. (err=%lx)", call,
                  static_cast<unsigned long>(GetLastError()));
    return text;
}

// The COM number of "COM<n>", 0 for any other name (LPT ports share the class).
unsigned ComNumber(const std::string& portName) {
    if (portName.size() < 4 || portName.compare(0, 3, "COM") != 0 ||
        portName.find_first_not_of("0123456789", 3) != std::string::npos) {
        return 0;
    }
    return static_cast<unsigned>(std::stoul(portName.substr(3)));
}

bool DeviceText(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property, std::string& text) {
    char buffer[256] = {};
    if (!SetupDiGetDeviceRegistryPropertyA(devices, &device, property, nullptr,
                                           reinterpret_cast<BYTE*>(buffer), sizeof buffer - 1,
                                           nullptr)) {
        return false;
    }
    text = buffer;
    return true;
}

bool RegistryText(HKEY key, const char* name, std::string& text) {
    char buffer[256] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    text = buffer;
    return true;
}

std::optional<std::string> AppendSetupApiPorts(ComPortList& list) {
    HDEVINFO devices = SetupDiGetClassDevsA(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return Failure("SetupDiGetClassDevs");
    std::optional<std::string> failure;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!SetupDiEnumDeviceInfo(devices, index, &device)) {
            if (GetLastError() != ERROR_NO_MORE_ITEMS) failure = Failure("SetupDiEnumDeviceInfo");
            break;
        }
        ComPortEntry entry;
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        const bool named = RegistryText(key, "PortName", entry.portName);
        RegCloseKey(key);
        if (!named || ComNumber(entry.portName) == 0) continue;
        entry.devicePath = "\\\\.\\" + entry.portName;
        DeviceText(devices, device, SPDRP_FRIENDLYNAME, entry.friendlyName);
        DeviceText(devices, device, SPDRP_DEVICEDESC, entry.portDescription);
        std::string location;
        entry.isUsbDevice = DeviceText(devices, device, SPDRP_LOCATION_INFORMATION, location) &&
                                    location.compare(0, 3, "USB") == 0
                                ? 1
                                : 0;
        std::string hardwareId;
        DeviceText(devices, device, SPDRP_HARDWAREID, hardwareId);
        char instanceId[256] = {};
        if (!SetupDiGetDeviceInstanceIdA(devices, &device, instanceId, sizeof instanceId - 1,
                                         nullptr)) {
            instanceId[0] = '\0';
        }
        const UsbIdentity usb = UsbIdentityOf(hardwareId, instanceId);
        entry.usbVendorId = usb.vendorId;
        entry.usbProductId = usb.productId;
        entry.usbSerialNumber = usb.serialNumber;
        list.Append(std::move(entry));
    }
    SetupDiDestroyDeviceInfoList(devices);
    return failure;
}

void AppendSerialCommPorts(ComPortList& list) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    for (DWORD index = 0;; ++index) {
        char device[256] = {};
        char port[256] = {};
        DWORD deviceLength = sizeof device;
        DWORD portSize = sizeof port - 1;
        DWORD type = REG_NONE;
        const LSTATUS status = RegEnumValueA(key, index, device, &deviceLength, nullptr, &type,
                                             reinterpret_cast<BYTE*>(port), &portSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS || type != REG_SZ || ComNumber(port) == 0) continue;
        ComPortEntry entry;
        entry.portName = port;
        entry.devicePath = "\\\\.\\" + entry.portName;
        entry.isUsbDevice = std::string(device).find("USB") != std::string::npos ? 1 : 0;
        list.Append(std::move(entry));
    }
    RegCloseKey(key);
}

// Sorted by COM number; a port listed twice keeps its first entry.
void SortByNumber(ComPortList& list) {
    std::vector<ComPortEntry> entries;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const ComPortEntry& entry = list.At(i);
        const bool seen = std::any_of(entries.begin(), entries.end(), [&](const ComPortEntry& e) {
            return e.portName == entry.portName;
        });
        if (!seen) entries.push_back(entry);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return ComNumber(a.portName) < ComNumber(b.portName);
    });
    list.RemoveAll();
    for (ComPortEntry& entry : entries) list.Append(std::move(entry));
}

}  // namespace

std::optional<std::string> EnumerateComPorts(ComPortList& list) {
    list.RemoveAll();
    if (std::optional<std::string> failure = AppendSetupApiPorts(list)) return failure;
    if (list.Count() == 0) AppendSerialCommPorts(list);
    SortByNumber(list);
    CompleteComPortNames(list);
    return std::nullopt;
}

// The environment names Linux device trees only; Windows has none to point elsewhere.
std::optional<std::string> EnumerateComPorts(ComPortList& list, const PortEnvironment&) {
    return EnumerateComPorts(list);
}
