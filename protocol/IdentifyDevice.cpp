#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue/Catalogue.h"
#include "common/Product.h"
#include "protocol/Frames.h"
#include "protocol/Workers.h"

namespace {

// The version record is cleared first so that a short or missing reply cannot pass on
// the acknowledge byte of an earlier identification.
bool ReadFirmwareVersion(CSerialPort& port, unsigned char record[3]) {
    std::memset(record, 0, bootproto::kVersionReplyLength);
    char request = static_cast<char>(bootproto::kFirmwareVersion);
    if (port.WriteToPort(&request, 1) != 1) return false;
    port.ReadFromPort(reinterpret_cast<char*>(record), bootproto::kVersionReplyLength);
    return bootproto::VersionAcknowledged(record);
}

}  // namespace

IdentifyResult IdentifyDevice(const EngineContext& engine) {
    const std::string cataloguePath = std::string(engine.workingPath) + product::kCatalogueFileName;
    const std::string identifier =
        bootproto::IdentifierText(engine.deviceId[0], engine.deviceId[1]);

    std::string name;
    const CatalogueLookup found = LookupDevice(cataloguePath, identifier, engine.device, name);
    if (found != CatalogueLookup::Found) return IdentifyRefusal(found);

    if (!ReadFirmwareVersion(engine.port, engine.firmwareVersion)) {
        return IdentifyResult::FirmwareFailed;
    }
    // The name changes only on complete success.
    std::snprintf(engine.device.name, sizeof engine.device.name, "%s", name.c_str());
    return IdentifyResult::Identified;
}
