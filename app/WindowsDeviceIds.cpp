#include "app/WindowsDeviceIds.h"

#include <cctype>

namespace {

// The four hex digits after `key` ("VID_") in `id`, in lowercase; empty when absent.
std::string IdAfter(const std::string& id, const std::string& key) {
    const std::size_t at = id.find(key);
    if (at == std::string::npos || at + key.size() + 4 > id.size()) return {};
    std::string digits = id.substr(at + key.size(), 4);
    for (char& digit : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(digit))) return {};
        digit = static_cast<char>(std::tolower(static_cast<unsigned char>(digit)));
    }
    return digits;
}

}  // namespace

UsbIdentity UsbIdentityOf(const std::string& hardwareId, const std::string& instanceId) {
    UsbIdentity identity;
    const std::string& ids = hardwareId.find("VID_") != std::string::npos ? hardwareId : instanceId;
    identity.vendorId = IdAfter(ids, "VID_");
    identity.productId = IdAfter(ids, "PID_");
    if (instanceId.rfind("USB\\", 0) == 0) {
        const std::size_t last = instanceId.rfind('\\');
        const std::string tail = instanceId.substr(last + 1);
        if (last > 3 && !tail.empty() && tail.find('&') == std::string::npos) {
            identity.serialNumber = tail;
        }
    }
    return identity;
}
