#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "catalogue/Catalogue.h"
#include "common/Product.h"
#include "image/HexLoader.h"
#include "image/HexReader.h"
#include "tests/image/SrecReading.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

const std::string kShippedCatalogue =
    std::string(PELORANT_SOURCE_DIR) + "/catalogue/" + product::kCatalogueFileName;

// dsPIC33F parts are not in the shipped catalogue; this generous map (the largest flash of
// the corpus' 33F parts, no EEPROM) is only for reading their files. Their 64-instruction
// rows are no row a catalogue may give, so the map says 32: rows play no part in reading.
const char* kDsPic33Catalogue = R"(<list><device id="0x0033" name="dsPIC33F" rowsxpage="1">
  <memcode startaddress="0x0" endaddress="0x2ABFE" instructionxrow="32">
    <bootloader startaddress="0x2A400" endaddress="0x2ABFE"/></memcode>
  <memconfig startaddress="0xF80000" endaddress="0xF80016" instructionxrow="1"/>
</device></list>)";

// Loads `hexFile` for the device `id` and checks every image against srec_cat's reading.
void CheckFileForDevice(const fs::path& hexFile, const std::string& catalogue,
                        const std::string& id) {
    SCOPED_TRACE(hexFile.filename().string());
    CDeviceInfo device;
    std::string name;
    ASSERT_EQ(LookupDevice(catalogue, id, device, name), CatalogueLookup::Found);

    testsupport::RecordingMessageBox boxes;
    HexFileStatus status;
    EXPECT_EQ(LoadHexImage(device, hexFile.string(), status, boxes), 1);
    for (const auto& box : boxes.boxes) EXPECT_EQ(box.icon, BoxIcon::Information) << box.text;

    for (CMemoryImage& image : device.images) image.Clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(hexFile.string().c_str(), "r"),
                                                         &std::fclose);
    ASSERT_EQ(ReadHexFile(file.get(), device.images[0], device.images[1], device.images[2]), 1);
    testsupport::TempDir work;
    for (CMemoryImage& image : device.images) {
        if (!image.present) continue;
        const auto region = ReadRegionWithSrecCat(hexFile, image, work.path());
        ASSERT_TRUE(region) << "srec_cat could not read the file";
        ExpectImageMatches(image, *region);
    }
}

struct ToolChainFiles : ::testing::Test {
    void SetUp() override {
        if (!SrecCatAvailable()) GTEST_SKIP() << "srec_cat (Debian package srecord) is missing";
        testing::internal::CaptureStdout();
        capturing = true;
    }
    void TearDown() override {
        if (capturing) testing::internal::GetCapturedStdout();
    }
    bool capturing = false;
};

// Project fixtures in the shape of real tool-chain output: lower-case XC16 records with
// CRLF and repeated type-04 lines, EEPROM under 0x00FF and configuration under 0x01F0, and
// C30 records running across 64 KB boundaries.
TEST_F(ToolChainFiles, ProjectFixturesMatchAnIndependentReading) {
    const fs::path fixtures = fs::path(PELORANT_SOURCE_DIR) / "tests/image/fixtures";
    CheckFileForDevice(fixtures / "xc16_dspic30f4011_lowercase_crlf.hex", kShippedCatalogue,
                       "0x0101");
    CheckFileForDevice(fixtures / "c30_dspic30f6012a_across_64k.hex", kShippedCatalogue, "0x02C2");
}

TEST_F(ToolChainFiles, SharedCorpusLoadsForItsParts) {
    const fs::path corpus = fs::path(PELORANT_SHARED_DIR) / "hexcorpus";
    if (!fs::is_directory(corpus)) {
        GTEST_SKIP() << "no shared HEX corpus at " << corpus << "; the project fixtures still run";
    }
    testsupport::TempDir dir;
    const std::string dsPic33 = dir.Write("33f.xml", kDsPic33Catalogue).string();
    // The part each file was built for; parts missing from the catalogue are read with a
    // listed part of the same memory map (30F3013 as 30F3011, 30F6014 as 30F6014A).
    const std::map<std::string, std::string> parts = {
        {"AN1160_dsPIC30F3010", "0x01C0"},
        {"AN901.production", "0x0101"},
        {"AN901_TEMP", "0x02C3"},
        {"problemasmat", "0x0141"},
        {"tictoc", "0x0141"},
        {"CanLib", "0x0080"},
        {"EX17_1_EEPROM", "0x0101"},
        {"CodeExample", "0x02C3"},
        {"pjt_eeprom_cmg", "0x01C1"},
        {"pjt_charger_cmg", "0x0100"},
        {"HFC-3100D_RD", "0x02C2"},
        {"ds.X", "33F"},
        {"dspic.X", "33F"},
        {"UART.X", "33F"},
        {"HFC-3100D_RC", "33F"},
    };
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".hex") continue;
        const std::string file = entry.path().filename().string();
        const auto part = std::find_if(parts.begin(), parts.end(), [&](const auto& p) {
            return file.find(p.first) != std::string::npos;
        });
        ASSERT_NE(part, parts.end()) << "no part known for " << file;
        if (part->second == "33F") {
            CheckFileForDevice(entry.path(), dsPic33, "0x0033");
        } else {
            CheckFileForDevice(entry.path(), kShippedCatalogue, part->second);
        }
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(parts.size()));
}

}  // namespace
