// Any bytes as the device catalogue: the lookup of a listed device and of a fixed identifier
// either refuses the file with one of its codes or fills a device that a write can use.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The last word address of the dsPIC program space.
constexpr std::uint32_t kLastProgramAddress = 0xFFFFFF;

bool KnownResult(int result) {
    switch (result) {
        case kCatalogueFound:
        case kCatalogueNoBootloader:
        case kCatalogueProtectedMissing:
        case kCatalogueDeviceNotFound:
        case kCatalogueUnreadable:
        case kCatalogueProtectedNotOnRows:
        case kCatalogueProtectedOutside:
            return true;
        default:
            return false;
    }
}

void CheckFound(const CDeviceInfo& device, const std::string& name) {
    FUZZ_CHECK(name.size() < sizeof device.name);
    for (const CMemoryImage& image : device.images) {
        if (!image.present) continue;
        FUZZ_CHECK(image.cells != nullptr);
        FUZZ_CHECK(image.start <= image.end && image.end <= kLastProgramAddress);
        FUZZ_CHECK(image.count == image.end - image.start + 1);
        for (std::uint32_t i = 0; i <= image.count; ++i) FUZZ_CHECK(!image.cells[i].used);
    }
}

int Lookup(const std::string& path, const std::string& id) {
    CDeviceInfo device;
    std::string name;
    const int result = LookupDevice(path, id, device, name);
    FUZZ_CHECK(KnownResult(result));
    if (result == kCatalogueFound) CheckFound(device, name);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = (fuzz::ScratchDir() / "qor_dspiclist.xml").string();
    fuzz::WriteFile(path, data, size);

    const std::optional<std::vector<CatalogueEntry>> listed = ListCatalogueDevices(path);
    const int fixed = Lookup(path, "0x0101");
    if (!listed) {
        FUZZ_CHECK(fixed == kCatalogueUnreadable);
        return 0;
    }
    // A few of the listed devices: every one is found by its identifier.
    for (std::size_t i = 0; i < listed->size() && i < 3; ++i) {
        const CatalogueEntry& entry = (*listed)[i];
        if (entry.id.empty()) continue;
        FUZZ_CHECK(Lookup(path, entry.id) != kCatalogueDeviceNotFound);
        FUZZ_CHECK(ResolveDeviceIdentifier(path, entry.id) == entry.id);
        const std::optional<std::string> byName = ResolveDeviceIdentifier(path, entry.name);
        FUZZ_CHECK(byName.has_value());
    }
    return 0;
}
