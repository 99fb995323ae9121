#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "catalogue/Catalogue.h"
#include "common/Product.h"
#include "tests/support/TestSupport.h"

namespace {

const std::string kShipped =
    std::string(PELORANT_SOURCE_DIR) + "/catalogue/" + product::kCatalogueFileName;

bool WholeRows(const CMemoryImage& image) {
    const std::uint32_t rowUnits = 2 * static_cast<std::uint32_t>(image.instructionsPerRow);
    return image.GetStart() % rowUnits == 0 && (image.GetEnd() + 2) % rowUnits == 0;
}

// "0x" and four upper-case hex digits. Checked by hand: GCC 12 warns inside <regex>'s
// std::function under -fsanitize=address, which stops a sanitizer build with -Werror.
bool IsDeviceId(const std::string& id) {
    return id.size() == 6 && id.compare(0, 2, "0x") == 0 &&
           id.find_first_not_of("0123456789ABCDEF", 2) == std::string::npos;
}

// Every listed part resolves, and its memory map follows the catalogue's own rules: whole
// rows everywhere, the bootloader in the top 16 rows of flash, reserved configuration
// registers protected where the part has no boot or secure segment.
TEST(ShippedCatalogue, EveryPartResolvesToAWritableMap) {
    const auto entries = ListCatalogueDevices(kShipped);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 10u);
    for (const CatalogueEntry& entry : *entries) {
        SCOPED_TRACE(entry.name);
        EXPECT_TRUE(IsDeviceId(entry.id)) << entry.id;
        EXPECT_EQ(entry.name.rfind("dsPIC30F", 0), 0u);

        CDeviceInfo device;
        std::string name;
        ASSERT_EQ(LookupDevice(kShipped, entry.id, device, name), CatalogueLookup::Found);
        EXPECT_EQ(name, entry.name);
        for (const CMemoryImage& image : device.images) {
            EXPECT_TRUE(image.present);
            EXPECT_EQ(image.rowsPerPage, 1);
            EXPECT_TRUE(WholeRows(image));
        }
        const CMemoryImage& code = device.images[kBlockCode];
        EXPECT_EQ(code.GetStart(), 0u);
        EXPECT_EQ(code.instructionsPerRow, 32);
        EXPECT_EQ(device.bootEnd, code.GetEnd());
        EXPECT_EQ(device.bootEnd + 2 - device.bootStart, 16u * 64u);

        CMemoryImage& data = device.images[kBlockEeprom];
        EXPECT_EQ(data.GetEnd(), 0x7FFFFEu);
        EXPECT_EQ(data.instructionsPerRow, 16);

        CMemoryImage& config = device.images[kBlockConfig];
        EXPECT_EQ(config.GetStart(), 0xF80000u);
        EXPECT_EQ(config.GetEnd(), 0xF8000Eu);
        EXPECT_EQ(config.instructionsPerRow, 1);
        const bool hasSegments = entry.name == "dsPIC30F5011";
        EXPECT_EQ(config.IsProtected(0xF80006), !hasSegments);
        EXPECT_EQ(config.IsProtected(0xF80008), !hasSegments);
        EXPECT_FALSE(config.IsProtected(0xF80004));
        EXPECT_FALSE(config.IsProtected(0xF8000A));
    }
}

// Every number of the parts' data sheets (devices.md in the shared project notes), pinned:
// a wrong size in the XML fails here, not on a chip.
TEST(ShippedCatalogue, EveryPartHasItsDataSheetMap) {
    const struct {
        const char* name;
        const char* id;
        std::uint32_t flashEnd;
        std::uint32_t eepromStart;
        bool bootAndSecureSegments;  // F80006 and F80008 are registers, not reserved
    } parts[] = {
        {"dsPIC30F2010", "0x0040", 0x001FFE, 0x7FFC00, false},
        {"dsPIC30F3010", "0x01C0", 0x003FFE, 0x7FFC00, false},
        {"dsPIC30F3011", "0x01C1", 0x003FFE, 0x7FFC00, false},
        {"dsPIC30F4011", "0x0101", 0x007FFE, 0x7FFC00, false},
        {"dsPIC30F4012", "0x0100", 0x007FFE, 0x7FFC00, false},
        {"dsPIC30F4013", "0x0141", 0x007FFE, 0x7FFC00, false},
        {"dsPIC30F5011", "0x0080", 0x00AFFE, 0x7FFC00, true},
        {"dsPIC30F6010A", "0x0281", 0x017FFE, 0x7FF000, false},
        {"dsPIC30F6012A", "0x02C2", 0x017FFE, 0x7FF000, false},
        {"dsPIC30F6014A", "0x02C3", 0x017FFE, 0x7FF000, false},
    };
    const auto entries = ListCatalogueDevices(kShipped);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), std::size(parts));
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        const auto& part = parts[i];
        SCOPED_TRACE(part.name);
        EXPECT_EQ((*entries)[i].name, part.name);
        EXPECT_EQ((*entries)[i].id, part.id);

        CDeviceInfo device;
        std::string name;
        ASSERT_EQ(LookupDevice(kShipped, part.id, device, name), CatalogueLookup::Found);
        EXPECT_EQ(name, part.name);
        const CMemoryImage& code = device.images[kBlockCode];
        EXPECT_EQ(code.GetStart(), 0x000000u);
        EXPECT_EQ(code.GetEnd(), part.flashEnd);
        EXPECT_EQ(code.instructionsPerRow, 32);
        // The bootloader: the top 16 rows of 32 instructions (64 address units each).
        EXPECT_EQ(device.bootStart, part.flashEnd + 2 - 16 * 64);
        EXPECT_EQ(device.bootEnd, part.flashEnd);

        const CMemoryImage& eeprom = device.images[kBlockEeprom];
        EXPECT_EQ(eeprom.GetStart(), part.eepromStart);
        EXPECT_EQ(eeprom.GetEnd(), 0x7FFFFEu);
        EXPECT_EQ(eeprom.instructionsPerRow, 16);

        CMemoryImage& config = device.images[kBlockConfig];
        EXPECT_EQ(config.GetStart(), 0xF80000u);
        EXPECT_EQ(config.GetEnd(), 0xF8000Eu);
        EXPECT_EQ(config.instructionsPerRow, 1);
        std::vector<std::uint32_t> protectedWords;
        for (const CMemoryImage& image : device.images) {
            for (std::uint64_t a = image.GetStart(); a <= image.GetEnd(); ++a) {
                if (image.cells[a - image.GetStart()].isProtected) {
                    protectedWords.push_back(static_cast<std::uint32_t>(a));
                }
            }
        }
        const std::vector<std::uint32_t> reserved = {0xF80006, 0xF80008};
        EXPECT_EQ(protectedWords,
                  part.bootAndSecureSegments ? std::vector<std::uint32_t>{} : reserved);
    }
}

TEST(ShippedCatalogue, ResolvesIdentifiersAndNames) {
    EXPECT_EQ(ResolveDeviceIdentifier(kShipped, "0x0101"), "0x0101");
    EXPECT_EQ(ResolveDeviceIdentifier(kShipped, "DSPIC30f4011"), "0x0101");
    EXPECT_EQ(ResolveDeviceIdentifier(kShipped, "dsPIC30F6014A"), "0x02C3");
    EXPECT_EQ(ResolveDeviceIdentifier(kShipped, "0x0101 "), std::nullopt);
    EXPECT_EQ(ResolveDeviceIdentifier(kShipped, "dsPIC33FJ128GP802"), std::nullopt);

    testsupport::TempDir dir;
    testing::internal::CaptureStdout();
    EXPECT_EQ(ListCatalogueDevices((dir.path() / "none.xml").string()), std::nullopt);
    EXPECT_EQ(ResolveDeviceIdentifier((dir.path() / "none.xml").string(), "0x0101"), std::nullopt);
    testing::internal::GetCapturedStdout();
}

}  // namespace

namespace {

// The virtual board and a detection worker may look devices up on threads of their own.
TEST(ShippedCatalogue, LookupsOnTwoThreadsAtOnce) {
    auto lookUp = [](const char* id, int* found) {
        for (int i = 0; i < 5; ++i) {
            CDeviceInfo device;
            std::string name;
            if (LookupDevice(kShipped, id, device, name) == CatalogueLookup::Found) ++*found;
        }
    };
    int first = 0, second = 0;
    std::thread other(lookUp, "0x0101", &first);
    lookUp("0x02C2", &second);
    other.join();
    EXPECT_EQ(first, 5);
    EXPECT_EQ(second, 5);
}

}  // namespace
