#include "tools/sim/BoardDevice.h"

#include <cctype>
#include <cstdint>
#include <vector>

#include "catalogue/Catalogue.h"
#include "common/ResultCode.h"
#include "device/DeviceInfo.h"

namespace board {

namespace {

// A memory larger than this is a catalogue mistake, not a dsPIC.
constexpr std::uint64_t kMaxRegionWords = 0x1000000;

const char* const kRegionNames[3] = {"program flash", "data EEPROM", "configuration"};

std::string LookupFailure(CatalogueLookup code) {
    switch (code) {
        case CatalogueLookup::NoBootloader:
            return "its program flash has no bootloader";
        case CatalogueLookup::ProtectedMissing:
            return "a protected range cannot be read";
        case CatalogueLookup::DeviceNotFound:
            return "no device carries its id";
        case CatalogueLookup::Unreadable:
            return "the catalogue cannot be read";
        case CatalogueLookup::ProtectedNotOnRows:
            return "a protected range does not match a row";
        case CatalogueLookup::ProtectedOutside:
            return "a protected range lies outside its memory";
        default:
            return "lookup failed with code " + std::to_string(Code(code));
    }
}

bool ParseIdentifier(const std::string& id, BoardIdentity& identity) {
    if (id.size() != 6 || id[0] != '0' || id[1] != 'x') return false;
    for (std::size_t i = 2; i < id.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(id[i]))) return false;
    }
    const unsigned long value = std::stoul(id.substr(2), nullptr, 16);
    identity.idHigh = static_cast<std::uint8_t>(value >> 8);
    identity.idLow = static_cast<std::uint8_t>(value & 0xFF);
    return true;
}

}  // namespace

std::optional<BoardDevice> LoadBoardDevice(const std::string& cataloguePath,
                                           const std::string& idOrName, std::string* error) {
    auto fail = [&](const std::string& text) -> std::optional<BoardDevice> {
        if (error) *error = text;
        return std::nullopt;
    };
    if (!ListCatalogueDevices(cataloguePath)) {
        return fail("cannot read the device catalogue " + cataloguePath);
    }
    const auto id = ResolveDeviceIdentifier(cataloguePath, idOrName);
    if (!id) return fail("no device \"" + idOrName + "\" in the catalogue " + cataloguePath);

    BoardDevice device;
    device.id = *id;
    if (!ParseIdentifier(device.id, device.identity)) {
        return fail("device id \"" + device.id + "\" is not of the form 0xHHHH");
    }
    auto info = std::make_unique<CDeviceInfo>();
    const CatalogueLookup code = LookupDevice(cataloguePath, device.id, *info, device.name);
    if (code != CatalogueLookup::Found)
        return fail("device " + device.id + ": " + LookupFailure(code));
    if (!info->images[kBlockCode].present) {
        return fail("device " + device.id + " has no program flash in the catalogue");
    }
    if (info->bootEnd < info->bootStart) {
        return fail("device " + device.id + ": its bootloader ends before it starts");
    }

    std::vector<BoardRegion> regions;
    for (int k = 0; k < 3; ++k) {
        const CMemoryImage& image = info->images[k];
        if (!image.present) continue;
        // A region also holds the word after its last address: the upper half of the
        // last 4-byte group.
        const std::uint64_t last = std::uint64_t{image.end} + 1;
        if (image.end < image.start || last > UINT32_MAX ||
            last - image.start + 1 > kMaxRegionWords) {
            return fail("device " + device.id + ": its " + kRegionNames[k] +
                        " range is not a usable memory");
        }
        BoardRegion region;
        region.name = kRegionNames[k];
        region.first = image.start;
        region.last = static_cast<std::uint32_t>(last);
        // Rows of no instructions, or absurdly many, can never be written: every frame for
        // such a memory is refused for its length.
        const bool rowUsable = image.instructionsPerRow > 0 && image.instructionsPerRow <= 0xFFFF;
        region.rowUnits = rowUsable ? 2 * image.instructionsPerRow : 0;
        regions.push_back(std::move(region));
    }
    const std::uint32_t bootLast = info->bootEnd == UINT32_MAX ? UINT32_MAX : info->bootEnd + 1;
    device.memory = std::make_unique<BoardMemory>(std::move(regions), info->bootStart, bootLast);
    return device;
}

}  // namespace board
