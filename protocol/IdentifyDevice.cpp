#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue/Catalogue.h"
#include "common/Product.h"
#include "protocol/Frames.h"
#include "protocol/Line.h"
#include "protocol/Workers.h"

namespace {

// The version record is cleared first so that a short or missing reply cannot pass on
// the acknowledge byte of an earlier identification.
IdentifyResult ReadFirmwareVersion(bootproto::Line& line, unsigned char record[3]) {
    constexpr bootproto::Exchange kExchange{bootproto::ExchangeKind::Version};
    std::memset(record, 0, bootproto::kVersionReplyLength);
    const char request = static_cast<char>(bootproto::kFirmwareVersion);
    const unsigned long written = line.Send(kExchange, &request, 1);
    if (line.Lost(written)) return IdentifyResult::PortLost;
    if (written != 1) return IdentifyResult::FirmwareFailed;
    const unsigned long received = line.Receive(kExchange, record, bootproto::kVersionReplyLength);
    if (line.Lost(received)) return IdentifyResult::PortLost;
    return bootproto::VersionAcknowledged(record) ? IdentifyResult::Identified
                                                  : IdentifyResult::FirmwareFailed;
}

}  // namespace

IdentifyResult IdentifyDevice(const EngineContext& engine, std::string* catalogueCause,
                              const DeviceCatalogue* catalogue) {
    const std::string cataloguePath = std::string(engine.workingPath) + product::kCatalogueFileName;
    const std::string identifier =
        bootproto::IdentifierText(engine.deviceId[0], engine.deviceId[1]);

    std::string name;
    const CatalogueLookup found =
        catalogue != nullptr
            ? catalogue->Lookup(identifier, engine.device, name, catalogueCause)
            : LookupDevice(cataloguePath, identifier, engine.device, name, catalogueCause);
    if (found != CatalogueLookup::Found) return IdentifyRefusal(found);

    if (const IdentifyResult version = ReadFirmwareVersion(engine.line, engine.firmwareVersion);
        version != IdentifyResult::Identified) {
        return version;
    }
    // The name changes only on complete success.
    std::snprintf(engine.device.name, sizeof engine.device.name, "%s", name.c_str());
    return IdentifyResult::Identified;
}
