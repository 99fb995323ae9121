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

bool KnownResult(CatalogueLookup result) {
    switch (result) {
        case CatalogueLookup::Found:
        case CatalogueLookup::NoBootloader:
        case CatalogueLookup::ProtectedMissing:
        case CatalogueLookup::DeviceNotFound:
        case CatalogueLookup::Unreadable:
        case CatalogueLookup::ProtectedNotOnRows:
        case CatalogueLookup::ProtectedOutside:
            return true;
        default:
            return false;
    }
}

bool Overlap(const CMemoryImage& a, const CMemoryImage& b) {
    return a.present && b.present && a.start <= b.end && b.start <= a.end;
}

// A device a write can use: program flash with the bootloader inside it, memories apart,
// rows a frame can carry.
void CheckFound(const CDeviceInfo& device, const std::string& name) {
    FUZZ_CHECK(name.size() < sizeof device.name);
    const CMemoryImage& code = device.images[kBlockCode];
    FUZZ_CHECK(code.present);
    FUZZ_CHECK(code.start <= device.bootStart && device.bootStart <= device.bootEnd &&
               device.bootEnd <= code.end);
    FUZZ_CHECK(!Overlap(device.images[0], device.images[1]));
    FUZZ_CHECK(!Overlap(device.images[0], device.images[2]));
    FUZZ_CHECK(!Overlap(device.images[1], device.images[2]));
    for (const CMemoryImage& image : device.images) {
        if (!image.present) continue;
        FUZZ_CHECK(image.cells != nullptr);
        FUZZ_CHECK(image.start <= image.end && image.end <= kLastProgramAddress);
        FUZZ_CHECK(image.count == image.end - image.start + 1);
        FUZZ_CHECK(image.instructionsPerRow >= 1 && image.instructionsPerRow <= 63);
        for (std::uint32_t i = 0; i <= image.count; ++i) FUZZ_CHECK(!image.cells[i].used);
    }
}

bool SameImage(const CMemoryImage& a, const CMemoryImage& b) {
    if (a.present != b.present || a.start != b.start || a.end != b.end ||
        a.instructionsPerRow != b.instructionsPerRow ||
        (a.cells == nullptr) != (b.cells == nullptr)) {
        return false;
    }
    for (std::uint32_t i = 0; a.cells && i <= a.count; ++i) {
        if (a.cells[i].isProtected != b.cells[i].isProtected) return false;
    }
    return true;
}

// A device looked up into the record of another device comes out as a fresh lookup does:
// nothing of the earlier device stays.
CDeviceInfo& EarlierDevice() {
    static CDeviceInfo device;
    std::string name;
    FUZZ_CHECK(LookupDevice(PELORANT_SOURCE_DIR "/catalogue/qor_dspiclist.xml", "0x02C3", device,
                            name) == CatalogueLookup::Found);
    return device;
}

CatalogueLookup Lookup(const std::string& path, const std::string& id) {
    CDeviceInfo device;
    std::string name;
    const CatalogueLookup result = LookupDevice(path, id, device, name);
    FUZZ_CHECK(KnownResult(result));
    if (result != CatalogueLookup::Found) return result;
    CheckFound(device, name);

    CDeviceInfo& reused = EarlierDevice();
    std::string reusedName;
    FUZZ_CHECK(LookupDevice(path, id, reused, reusedName) == CatalogueLookup::Found);
    for (int k = 0; k < 3; ++k) FUZZ_CHECK(SameImage(reused.images[k], device.images[k]));
    FUZZ_CHECK(reused.bootStart == device.bootStart && reused.bootEnd == device.bootEnd);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = (fuzz::ScratchDir() / "qor_dspiclist.xml").string();
    fuzz::WriteFile(path, data, size);

    const std::optional<std::vector<CatalogueEntry>> listed = ListCatalogueDevices(path);
    const CatalogueLookup fixed = Lookup(path, "0x0101");
    if (!listed) {
        FUZZ_CHECK(fixed == CatalogueLookup::Unreadable);
        return 0;
    }
    // A few of the listed devices: every one is found by its identifier.
    for (std::size_t i = 0; i < listed->size() && i < 3; ++i) {
        const CatalogueEntry& entry = (*listed)[i];
        if (entry.id.empty()) continue;
        FUZZ_CHECK(Lookup(path, entry.id) != CatalogueLookup::DeviceNotFound);
        FUZZ_CHECK(ResolveDeviceIdentifier(path, entry.id) == entry.id);
        const std::optional<std::string> byName = ResolveDeviceIdentifier(path, entry.name);
        FUZZ_CHECK(byName.has_value());
    }
    return 0;
}
