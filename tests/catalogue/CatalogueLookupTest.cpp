#include <gtest/gtest.h>

#include "catalogue/Catalogue.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::TempDir;

// One test device; the pieces each case changes are parameters.
std::string Device(const std::string& id, const std::string& code, const std::string& data = "",
                   const std::string& config = "", const std::string& name = "") {
    return "<device id=\"" + id + "\" name=\"" + (name.empty() ? "part " + id : name) +
           "\" rowsxpage=\"8\">" + code + data + config + "</device>";
}

const std::string kCode =
    "<memcode startaddress=\"0x0\" endaddress=\"0x7FFE\" instructionxrow=\"32\">"
    "<bootloader startaddress=\"7C00\" endaddress=\"0x7FFE\"/></memcode>";
const std::string kData =
    "<memdata startaddress=\"0x7FFC00\" endaddress=\"0x7FFFFE\" instructionxrow=\"16\" "
    "rowsxpage=\"3\"/>";

std::string CodeWithProtected(const std::string& first, const std::string& last,
                              const std::string& rowSize = "instructionxrow=\"32\"") {
    return "<memcode startaddress=\"0x0\" endaddress=\"0x7FFE\" " + rowSize +
           "><bootloader startaddress=\"0x7C00\" endaddress=\"0x7FFE\"/>"
           "<protected startaddress=\"" +
           first + "\" endaddress=\"" + last + "\"/></memcode>";
}

struct Lookup : ::testing::Test {
    int Run(const std::string& devices, const std::string& identifier = "0x0101") {
        const auto path =
            dir.Write("list.xml", "<?xml version=\"1.0\"?><list>" + devices + "</list>");
        testing::internal::CaptureStdout();
        const int result = LookupDevice(path.string(), identifier, device, name);
        testing::internal::GetCapturedStdout();
        return result;
    }
    TempDir dir;
    CDeviceInfo device;
    std::string name = "unchanged";
};

TEST_F(Lookup, FillsTheDeviceFromItsMemories) {
    const std::string config =
        "<memconfig startaddress=\"0xF80000\" endaddress=\"0xF8000E\" instructionxrow=\"1\">"
        "<protected startaddress=\"0xF80006\" endaddress=\"0xF80006\"/>"
        "<protected startaddress=\"0xF80008\" endaddress=\"0xF80008\"/></memconfig>";
    ASSERT_EQ(Run(Device("0x0101", kCode, kData, config)), kCatalogueFound);
    EXPECT_EQ(name, "part 0x0101");
    EXPECT_EQ(device.bootStart, 0x7C00u);
    EXPECT_EQ(device.bootEnd, 0x7FFEu);
    for (const CMemoryImage& image : device.images) {
        EXPECT_TRUE(image.present);
        EXPECT_EQ(image.rowsPerPage, 8);  // the device's value, not the memory element's
    }
    CMemoryImage& code = device.images[CDeviceInfo::kCode];
    EXPECT_EQ(code.GetStart(), 0u);
    EXPECT_EQ(code.GetEnd(), 0x7FFEu);
    EXPECT_EQ(code.instructionsPerRow, 32);
    CMemoryImage& cfg = device.images[CDeviceInfo::kConfig];
    EXPECT_FALSE(cfg.IsProtected(0xF80004));
    EXPECT_TRUE(cfg.IsProtected(0xF80006));
    EXPECT_FALSE(cfg.IsProtected(0xF80007));
    EXPECT_TRUE(cfg.IsProtected(0xF80008));
}

TEST_F(Lookup, MatchesIdentifiersExactlyAndTakesTheFirst) {
    EXPECT_EQ(Run(Device("0x0101", kCode)), kCatalogueFound);
    EXPECT_EQ(Run(Device("0x0101", kCode), "0x01010"), kCatalogueDeviceNotFound);
    EXPECT_EQ(Run(Device("0x010a", kCode), "0x010A"), kCatalogueDeviceNotFound);
    EXPECT_EQ(Run(Device(" 0x0101", kCode)), kCatalogueDeviceNotFound);
    EXPECT_EQ(Run("<device name=\"no id\"/>"), kCatalogueDeviceNotFound);
    EXPECT_EQ(Run(""), kCatalogueDeviceNotFound);

    const std::string otherCode =
        "<memcode startaddress=\"0x100\" endaddress=\"0x3FFE\" instructionxrow=\"32\">"
        "<bootloader startaddress=\"0x3C00\" endaddress=\"0x3FFE\"/></memcode>";
    ASSERT_EQ(Run(Device("0x0101", otherCode) + Device("0x0101", kCode)), kCatalogueFound);
    EXPECT_EQ(device.images[CDeviceInfo::kCode].GetStart(), 0x100u);
}

TEST_F(Lookup, RootNamedDeviceIsTheFirstDevice) {
    const auto path = dir.Write("root.xml", Device("0x0101", kCode));
    EXPECT_EQ(LookupDevice(path.string(), "0x0101", device, name), kCatalogueFound);
}

TEST_F(Lookup, AbsentMemoryIsNotPresentAndKeepsItsRange) {
    device.images[CDeviceInfo::kData].SetRange(0x10, 0x20);
    device.images[CDeviceInfo::kData].instructionsPerRow = 5;
    ASSERT_EQ(Run(Device("0x0101", kCode)), kCatalogueFound);
    const CMemoryImage& data = device.images[CDeviceInfo::kData];
    EXPECT_FALSE(data.present);
    EXPECT_EQ(data.GetStart(), 0x10u);
    EXPECT_EQ(data.instructionsPerRow, 5);
}

TEST_F(Lookup, ReportsEachFaultWithItsCode) {
    EXPECT_EQ(Run("<device id=\"0x0101\">"), kCatalogueUnreadable);
    std::filesystem::remove(dir.path() / "list.xml");
    testing::internal::CaptureStdout();
    EXPECT_EQ(LookupDevice((dir.path() / "list.xml").string(), "0x0101", device, name),
              kCatalogueUnreadable);
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(Run(Device("0x0101", "<memcode startaddress=\"0\" endaddress=\"7FFE\"/>")),
              kCatalogueNoBootloader);

    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x40", "0x7E"))), kCatalogueFound);
    EXPECT_TRUE(device.images[CDeviceInfo::kCode].IsProtected(0x7E));
    EXPECT_FALSE(device.images[CDeviceInfo::kCode].IsProtected(0x80));
    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x40", "0x7F"))),
              kCatalogueProtectedNotOnRows);
    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x20", "0x7E"))),
              kCatalogueProtectedNotOnRows);
    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x0", "0x7FFE"))), kCatalogueFound);
    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x0", "0x803E"))),
              kCatalogueProtectedOutside);
    for (const std::string rowSize :
         {"", "instructionxrow=\"0\"", "instructionxrow=\"many\"", "instructionxrow=\"-32\""}) {
        EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x0", "0x3E", rowSize))),
                  kCatalogueProtectedNotOnRows)
            << rowSize;
    }
}

TEST_F(Lookup, FirstFailingCheckInFileOrderDecides) {
    const std::string badConfig =
        "<memconfig startaddress=\"0xF80000\" endaddress=\"0xF8000E\" instructionxrow=\"1\">"
        "<protected startaddress=\"0xF80010\" endaddress=\"0xF80010\"/></memconfig>";
    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x40", "0x7F"), kData, badConfig)),
              kCatalogueProtectedNotOnRows);
    EXPECT_EQ(Run(Device("0x0101", kCode, kData, badConfig)), kCatalogueProtectedOutside);
    EXPECT_EQ(name, "unchanged");
    // The memories before the failing one are already filled.
    EXPECT_TRUE(device.images[CDeviceInfo::kData].present);
    EXPECT_EQ(device.images[CDeviceInfo::kData].GetStart(), 0x7FFC00u);
}

TEST_F(Lookup, RefusesReversedOrOversizedRangesAndLongNamesAsUnreadable) {
    device.images[CDeviceInfo::kCode].SetRange(0x100, 0x200);
    EXPECT_EQ(Run(Device("0x0101",
                         "<memcode startaddress=\"0x8000\" endaddress=\"0x7FFE\" "
                         "instructionxrow=\"32\"><bootloader/></memcode>")),
              kCatalogueUnreadable);
    EXPECT_EQ(Run(Device("0x0101",
                         "<memcode startaddress=\"0\" endaddress=\"0xFFFFFFFF\" "
                         "instructionxrow=\"32\"><bootloader/></memcode>")),
              kCatalogueUnreadable);
    EXPECT_EQ(device.images[CDeviceInfo::kCode].GetStart(), 0x100u);
    EXPECT_EQ(device.images[CDeviceInfo::kCode].GetEnd(), 0x200u);

    EXPECT_EQ(Run(Device("0x0101", kCode, "", "", std::string(260, 'n'))), kCatalogueUnreadable);
    EXPECT_EQ(device.images[CDeviceInfo::kCode].GetStart(), 0x100u);
    EXPECT_EQ(name, "unchanged");

    const std::string longestName(259, 'n');
    ASSERT_EQ(Run(Device("0x0101", kCode, "", "", longestName)), kCatalogueFound);
    EXPECT_EQ(name, longestName);
}

}  // namespace
