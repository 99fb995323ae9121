#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

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
    CatalogueLookup Run(const std::string& devices, const std::string& identifier = "0x0101") {
        const auto path =
            dir.Write("list.xml", "<?xml version=\"1.0\"?><list>" + devices + "</list>");
        testing::internal::CaptureStdout();
        const CatalogueLookup result = LookupDevice(path.string(), identifier, device, name);
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
    ASSERT_EQ(Run(Device("0x0101", kCode, kData, config)), CatalogueLookup::Found);
    EXPECT_EQ(name, "part 0x0101");
    EXPECT_EQ(device.bootStart, 0x7C00u);
    EXPECT_EQ(device.bootEnd, 0x7FFEu);
    for (const CMemoryImage& image : device.images) {
        EXPECT_TRUE(image.present);
        EXPECT_EQ(image.rowsPerPage, 8);  // the device's value, not the memory element's
    }
    CMemoryImage& code = device.images[kBlockCode];
    EXPECT_EQ(code.GetStart(), 0u);
    EXPECT_EQ(code.GetEnd(), 0x7FFEu);
    EXPECT_EQ(code.instructionsPerRow, 32);
    CMemoryImage& cfg = device.images[kBlockConfig];
    EXPECT_FALSE(cfg.IsProtected(0xF80004));
    EXPECT_TRUE(cfg.IsProtected(0xF80006));
    EXPECT_FALSE(cfg.IsProtected(0xF80007));
    EXPECT_TRUE(cfg.IsProtected(0xF80008));
}

TEST_F(Lookup, MatchesIdentifiersExactly) {
    EXPECT_EQ(Run(Device("0x0101", kCode)), CatalogueLookup::Found);
    EXPECT_EQ(Run(Device("0x0101", kCode), "0x01010"), CatalogueLookup::DeviceNotFound);
    EXPECT_EQ(Run(Device("0x010a", kCode), "0x010A"), CatalogueLookup::DeviceNotFound);
    EXPECT_EQ(Run(Device(" 0x0101", kCode)), CatalogueLookup::DeviceNotFound);
    EXPECT_EQ(Run("<device name=\"no id\"/>"), CatalogueLookup::DeviceNotFound);
    EXPECT_EQ(Run(""), CatalogueLookup::DeviceNotFound);
}

TEST_F(Lookup, RootNamedDeviceIsTheFirstDevice) {
    const auto path = dir.Write("root.xml", Device("0x0101", kCode));
    EXPECT_EQ(LookupDevice(path.string(), "0x0101", device, name), CatalogueLookup::Found);
}

// A memory the device does not define keeps nothing of the device before it: a HEX file's
// EEPROM words would otherwise be placed in the earlier part's EEPROM range.
TEST_F(Lookup, AbsentMemoryIsNotPresentAndKeepsNoRange) {
    ASSERT_EQ(Run(Device("0x0101", kCode, kData)), CatalogueLookup::Found);
    ASSERT_TRUE(device.images[kBlockEeprom].Holds(0x7FFC00));
    ASSERT_EQ(Run(Device("0x0101", kCode)), CatalogueLookup::Found);
    const CMemoryImage& data = device.images[kBlockEeprom];
    EXPECT_FALSE(data.present);
    EXPECT_FALSE(data.Holds(0x7FFC00));
    EXPECT_EQ(data.cells, nullptr);
}

TEST_F(Lookup, ReportsEachFaultWithItsCode) {
    EXPECT_EQ(Run("<device id=\"0x0101\">"), CatalogueLookup::Unreadable);
    std::filesystem::remove(dir.path() / "list.xml");
    testing::internal::CaptureStdout();
    EXPECT_EQ(LookupDevice((dir.path() / "list.xml").string(), "0x0101", device, name),
              CatalogueLookup::Unreadable);
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(Run(Device("0x0101",
                         "<memcode startaddress=\"0\" endaddress=\"7FFE\" "
                         "instructionxrow=\"32\"/>")),
              CatalogueLookup::NoBootloader);

    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x40", "0x7E"))), CatalogueLookup::Found);
    EXPECT_TRUE(device.images[kBlockCode].IsProtected(0x7E));
    EXPECT_FALSE(device.images[kBlockCode].IsProtected(0x80));
    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x40", "0x7F"))),
              CatalogueLookup::ProtectedNotOnRows);
    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x20", "0x7E"))),
              CatalogueLookup::ProtectedNotOnRows);
    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x0", "0x7FFE"))), CatalogueLookup::Found);
    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x0", "0x803E"))),
              CatalogueLookup::ProtectedOutside);
    // No row size at all is refused before any protected range is looked at.
    for (const std::string rowSize :
         {"", "instructionxrow=\"0\"", "instructionxrow=\"many\"", "instructionxrow=\"-32\""}) {
        EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x0", "0x3E", rowSize))),
                  CatalogueLookup::Unreadable)
            << rowSize;
    }
}

TEST_F(Lookup, FirstFailingCheckInFileOrderDecides) {
    const std::string badConfig =
        "<memconfig startaddress=\"0xF80000\" endaddress=\"0xF8000E\" instructionxrow=\"1\">"
        "<protected startaddress=\"0xF80010\" endaddress=\"0xF80010\"/></memconfig>";
    EXPECT_EQ(Run(Device("0x0101", CodeWithProtected("0x40", "0x7F"), kData, badConfig)),
              CatalogueLookup::ProtectedNotOnRows);
    EXPECT_EQ(Run(Device("0x0101", kCode, kData, badConfig)), CatalogueLookup::ProtectedOutside);
    EXPECT_EQ(name, "unchanged");
    // A refused device fills nothing, not even the memories before the failing one.
    EXPECT_FALSE(device.images[kBlockEeprom].present);
    EXPECT_EQ(device.images[kBlockEeprom].cells, nullptr);
}

TEST_F(Lookup, RefusesReversedOrOversizedRangesAndLongNamesAsUnreadable) {
    device.images[kBlockCode].SetRange(0x100, 0x200);
    EXPECT_EQ(Run(Device("0x0101",
                         "<memcode startaddress=\"0x8000\" endaddress=\"0x7FFE\" "
                         "instructionxrow=\"32\"><bootloader/></memcode>")),
              CatalogueLookup::Unreadable);
    EXPECT_EQ(Run(Device("0x0101",
                         "<memcode startaddress=\"0\" endaddress=\"0xFFFFFFFF\" "
                         "instructionxrow=\"32\"><bootloader/></memcode>")),
              CatalogueLookup::Unreadable);
    EXPECT_EQ(device.images[kBlockCode].GetStart(), 0x100u);
    EXPECT_EQ(device.images[kBlockCode].GetEnd(), 0x200u);

    EXPECT_EQ(Run(Device("0x0101", kCode, "", "", std::string(260, 'n'))),
              CatalogueLookup::Unreadable);
    EXPECT_EQ(device.images[kBlockCode].GetStart(), 0x100u);
    EXPECT_EQ(name, "unchanged");

    const std::string longestName(259, 'n');
    ASSERT_EQ(Run(Device("0x0101", kCode, "", "", longestName)), CatalogueLookup::Found);
    EXPECT_EQ(name, longestName);
}

std::string Memory(const char* tag, const std::string& start, const std::string& end,
                   const std::string& rowSize, const std::string& inside = "") {
    return std::string("<") + tag + " startaddress=\"" + start + "\" endaddress=\"" + end +
           "\" instructionxrow=\"" + rowSize + "\">" + inside + "</" + tag + ">";
}

std::string Bootloader(const std::string& attributes) {
    return "<bootloader " + attributes + "/>";
}

// Catalogues that would steer a write into the bootloader, outside the memories or into a
// hang: each is refused with its code and a cause, fast, and the device keeps what the last
// good lookup gave it.
TEST_F(Lookup, RefusesEveryHostileCatalogueWithItsCodeAndCause) {
    const std::string boot = Bootloader("startaddress=\"0x7C00\" endaddress=\"0x7FFE\"");
    const std::string code = Memory("memcode", "0x0", "0x7FFE", "32", boot);
    const auto entity = [](std::size_t size) {
        return "<?xml version=\"1.0\"?><!DOCTYPE list [<!ENTITY big \"" + std::string(size, 'x') +
               "\">]>";
    };
    std::string bigReferences;
    for (int i = 0; i < 99; ++i) bigReferences += "&big;";
    std::string bigAttributes;
    for (int i = 0; i < 99; ++i) bigAttributes += "<device id=\"&big;\"/>";

    const struct {
        const char* name;
        std::string file;  // written as the catalogue; "FIFO" makes a FIFO instead
        CatalogueLookup code;
        std::string cause;
    } cases[] = {
        {"namespace prefix on the root", "<a:l xmlns:a=\"u\"/>", CatalogueLookup::DeviceNotFound,
         "no device 0x0101"},
        {"bootloader reversed",
         "<list>" +
             Device("0x0101", Memory("memcode", "0x0", "0x7FFE", "32",
                                     Bootloader("startaddress=\"0x7FFE\" "
                                                "endaddress=\"0x7C00\""))) +
             "</list>",
         CatalogueLookup::Unreadable, "the bootloader range 0x7FFE - 0x7C00 is reversed"},
        {"bootloader without attributes",
         "<list>" + Device("0x0101", Memory("memcode", "0x0", "0x7FFE", "32", "<bootloader/>")) +
             "</list>",
         CatalogueLookup::Unreadable, "the bootloader lacks its startaddress"},
        {"bootloader above program flash",
         "<list>" +
             Device("0x0101", Memory("memcode", "0x0", "0x7FFE", "32",
                                     Bootloader("startaddress=\"0x7C00\" "
                                                "endaddress=\"0x803E\""))) +
             "</list>",
         CatalogueLookup::Unreadable,
         "the bootloader range 0x7C00 - 0x803E is not inside program flash 0x0000 - 0x7FFE"},
        {"bootloader below program flash",
         "<list>" +
             Device("0x0101", Memory("memcode", "0x100", "0x7FFE", "32",
                                     Bootloader("startaddress=\"0x0\" "
                                                "endaddress=\"0x3E\""))) +
             "</list>",
         CatalogueLookup::Unreadable,
         "the bootloader range 0x0000 - 0x003E is not inside program flash 0x0100 - 0x7FFE"},
        {"no program flash", "<list>" + Device("0x0101", "", kData) + "</list>",
         CatalogueLookup::Unreadable, "the device has no memcode"},
        {"memory without its range",
         "<list>" + Device("0x0101", "<memcode instructionxrow=\"32\">" + boot + "</memcode>") +
             "</list>",
         CatalogueLookup::Unreadable, "memcode lacks its startaddress"},
        {"EEPROM inside program flash",
         "<list>" + Device("0x0101", code, Memory("memdata", "0x7000", "0x73FE", "16")) + "</list>",
         CatalogueLookup::Unreadable, "memcode and memdata overlap"},
        {"configuration right after the EEPROM's last word",
         "<list>" +
             Device("0x0101", code, kData, Memory("memconfig", "0x7FFFFF", "0x80000E", "1")) +
             "</list>",
         CatalogueLookup::Unreadable, "memdata and memconfig overlap"},
        {"protected range reversed",
         "<list>" + Device("0x0101", CodeWithProtected("0x80", "0x3E")) + "</list>",
         CatalogueLookup::Unreadable, "protected range 0x0080 - 0x003E of memcode is reversed"},
        {"protected range outside its memory",
         "<list>" + Device("0x0101", CodeWithProtected("0x7FC0", "0x803E")) + "</list>",
         CatalogueLookup::ProtectedOutside,
         "protected range 0x7FC0 - 0x803E of memcode lies outside the memory 0x0000 - 0x7FFE"},
        {"64-instruction rows",
         "<list>" + Device("0x0101", Memory("memcode", "0x0", "0x7FFE", "64", boot)) + "</list>",
         CatalogueLookup::Unreadable, "memcode instructionxrow 64 is outside 1 to 63"},
        {"rows that overflow a multiplication",
         "<list>" +
             Device("0x0101", code, Memory("memdata", "0x7FFC00", "0x7FFFFE", "2147483647")) +
             "</list>",
         CatalogueLookup::Unreadable, "memdata instructionxrow 2147483647 is outside 1 to 63"},
        {"no row size",
         "<list>" + Device("0x0101", Memory("memcode", "0x0", "0x7FFE", "", boot)) + "</list>",
         CatalogueLookup::Unreadable, "memcode lacks its instructionxrow"},
        {"over 256 KiB", "<list>" + std::string(256u << 10, ' ') + "</list>",
         CatalogueLookup::Unreadable, "is larger than 262144 bytes"},
        {"1 MiB entity referenced 99 times",
         entity(1u << 20) + "<list>" + bigReferences + "</list>", CatalogueLookup::Unreadable,
         "is larger than 262144 bytes"},
        {"20 KB entity referenced 99 times", entity(20000) + "<list>" + bigReferences + "</list>",
         CatalogueLookup::Unreadable, "an entity is longer than 10485 bytes"},
        {"20 KB entity in 99 attributes", entity(20000) + "<list>" + bigAttributes + "</list>",
         CatalogueLookup::Unreadable, "an entity is longer than 10485 bytes"},
        {"pipe without a writer", "PIPE", CatalogueLookup::Unreadable, "is not a regular file"},
    };
    const testsupport::SpecialFiles special(dir.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Run(Device("0x0101", kCode, kData)), CatalogueLookup::Found);
        const std::string path =
            c.file == "PIPE" ? special.pipe : dir.Write("hostile.xml", c.file).string();
        std::string cause;
        testing::internal::CaptureStdout();
        EXPECT_EQ(LookupDevice(path, "0x0101", device, name, &cause), c.code);
        testing::internal::GetCapturedStdout();
        EXPECT_NE(cause.find(c.cause), std::string::npos) << cause;
        EXPECT_EQ(device.bootStart, 0x7C00u);
        EXPECT_EQ(device.bootEnd, 0x7FFEu);
        EXPECT_TRUE(device.images[kBlockEeprom].Holds(0x7FFC00));
        EXPECT_EQ(device.images[kBlockCode].GetEnd(), 0x7FFEu);
    }
}

// A number read only up to its first stray character, a bootloader that shares a row with the
// file's data, and two entries for one device each decide a write without a word: refused, with
// the attribute or both lines named.
TEST_F(Lookup, RefusesDamagedNumbersSplitRowsAndTwinDevices) {
    const auto code = [](const std::string& start, const std::string& bootStart,
                         const std::string& bootEnd = "0x7FFE", const std::string& rows = "32") {
        return Memory(
            "memcode", start, "0x7FFE", rows,
            Bootloader("startaddress=\"" + bootStart + "\" endaddress=\"" + bootEnd + "\""));
    };
    const struct {
        const char* name;
        std::string devices;
        CatalogueLookup code;
        std::string cause;  // empty: found
    } cases[] = {
        {"blanks around whole numbers",
         Device("0x0101", code(" 0x0 ", "\t7C00 ", "0x7FFE", " 32 ")), CatalogueLookup::Found, ""},
        {"a signed address", Device("0x0101", code("-31744", "0x7C00")),
         CatalogueLookup::Unreadable,
         "memcode startaddress \"-31744\" is not a whole hexadecimal number"},
        {"a doubled prefix", Device("0x0101", code("0x0", "0x0x7C00")), CatalogueLookup::Unreadable,
         "the bootloader startaddress \"0x0x7C00\" is not a whole hexadecimal number"},
        {"an address beyond 32 bits", Device("0x0101", code("0x0", "0x7C00", "0x100007FFE")),
         CatalogueLookup::Unreadable,
         "the bootloader endaddress \"0x100007FFE\" is not a whole hexadecimal number"},
        {"a row size with a tail", Device("0x0101", code("0x0", "0x7C00", "0x7FFE", "32x")),
         CatalogueLookup::Unreadable, "memcode instructionxrow \"32x\" is not a whole number"},
        {"a row size beyond 32 bits",
         Device("0x0101", code("0x0", "0x7C00", "0x7FFE", "4294967328")),
         CatalogueLookup::Unreadable,
         "memcode instructionxrow \"4294967328\" is not a whole number"},
        {"rows per page in words",
         "<device id=\"0x0101\" name=\"p\" rowsxpage=\"eight\">" + kCode + "</device>",
         CatalogueLookup::Unreadable, "the device's rowsxpage \"eight\" is not a whole number"},
        {"a protected range with a letter O", Device("0x0101", CodeWithProtected("4O", "0x7E")),
         CatalogueLookup::Unreadable,
         "a protected range of memcode startaddress \"4O\" is not a whole hexadecimal number"},
        {"a bootloader starting inside a row", Device("0x0101", code("0x0", "0x7C20")),
         CatalogueLookup::Unreadable,
         "the bootloader range 0x7C20 - 0x7FFE does not begin and end on row boundaries (rows of "
         "32 instructions)"},
        {"a bootloader ending inside a row", Device("0x0101", code("0x0", "0x7C00", "0x7FDE")),
         CatalogueLookup::Unreadable,
         "the bootloader range 0x7C00 - 0x7FDE does not begin and end on row boundaries"},
        {"two devices with one id",
         "\n" + Device("0x0101", kCode, "", "", "first") + "\n" + Device("0x0200", kCode) + "\n" +
             Device("0x0101", kCode, "", "", "second"),
         CatalogueLookup::Unreadable, "the devices on lines 2 and 4 both have the id 0x0101"},
        {"two devices with one name",
         "\n" + Device("0x0200", kCode, "", "", "dsPIC30F4011") + "\n" +
             Device("0x0101", kCode, "", "", "DSPIC30F4011"),
         CatalogueLookup::Unreadable, "the devices on lines 2 and 3 are both named DSPIC30F4011"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path =
            dir.Write("list.xml", "<?xml version=\"1.0\"?><list>" + c.devices + "</list>");
        std::string cause;
        testing::internal::CaptureStdout();
        EXPECT_EQ(LookupDevice(path.string(), "0x0101", device, name, &cause), c.code);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(cause.substr(0, c.cause.size()), c.cause);
    }
}

TEST_F(Lookup, AcceptsEveryRowSizeAFrameCarries) {
    for (const char* rowSize : {"1", "63"}) {
        SCOPED_TRACE(rowSize);
        EXPECT_EQ(Run(Device("0x0101", kCode, Memory("memdata", "0x7FFC00", "0x7FFFFE", rowSize))),
                  CatalogueLookup::Found);
    }
    // A prefixed root is a root like any other.
    const auto path =
        dir.Write("prefixed.xml", "<a:l xmlns:a=\"u\">" + Device("0x0101", kCode) + "</a:l>");
    EXPECT_EQ(LookupDevice(path.string(), "0x0101", device, name), CatalogueLookup::Found);
}

// A catalogue read once answers every later lookup from what it read, whatever became of
// its file: the boards of one write are identified against the catalogue that was checked.
TEST(ReadCatalogue, AnswersFromWhatItReadWhateverBecomesOfTheFile) {
    const std::string devices = Device("0x0101", kCode, kData);
    struct Change {
        const char* name;
        std::function<void(const TempDir&)> apply;
    };
    const std::vector<Change> changes = {
        {"removed", [](const TempDir& dir) { std::filesystem::remove(dir.path() / "list.xml"); }},
        {"rewritten as garbage",
         [](const TempDir& dir) { dir.Write("list.xml", "<list><device"); }},
        {"rewritten with another device",
         [](const TempDir& dir) {
             dir.Write("list.xml", "<list>" + Device("0x0202", kCode) + "</list>");
         }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        TempDir dir;
        const auto path = dir.Write("list.xml", "<list>" + devices + "</list>");
        const auto catalogue = DeviceCatalogue::Read(path.string());
        ASSERT_TRUE(catalogue);
        change.apply(dir);

        CDeviceInfo device;
        std::string name;
        EXPECT_EQ(catalogue->Lookup("0x0101", device, name), CatalogueLookup::Found);
        EXPECT_EQ(name, "part 0x0101");
        EXPECT_TRUE(device.images[kBlockEeprom].present);
        EXPECT_EQ(catalogue->Resolve("part 0x0101"), "0x0101");
        EXPECT_EQ(catalogue->Lookup("0x0202", device, name), CatalogueLookup::DeviceNotFound);
    }
}

TEST(ReadCatalogue, SaysWhyAFileCannotBeACatalogue) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(DeviceCatalogue::Read((dir.path() / "none.xml").string(), &error));
    EXPECT_FALSE(error.empty());
    const auto broken = dir.Write("broken.xml", "<list><device");
    error.clear();
    EXPECT_FALSE(DeviceCatalogue::Read(broken.string(), &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
