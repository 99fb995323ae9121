#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "common/Product.h"
#include "image/HexLoader.h"
#include "tests/image/HexRecords.h"
#include "tests/support/TestSupport.h"

namespace {

using hexrecords::Data;
using hexrecords::kEnd;
using hexrecords::Record;
using hexrecords::Upper;
using testsupport::RecordedBox;

const std::string kBootloaderText =
    std::string(
        "Your HEX file contains data in bootloader addresses.\nThe write will be cutted "
        "out properly for safety reasons.\n\nContact vardeno(") +
    product::kMakerWebAddress + ") for further information.";
const std::string kProtectedTail = "' addresses.\nProtected addresses will NOT be overwritten.";

// Every cell of the three images, to see that a refused load changed none of them.
std::vector<std::uint32_t> Snapshot(const CDeviceInfo& device) {
    std::vector<std::uint32_t> cells;
    for (const CMemoryImage& image : device.images) {
        cells.push_back(image.hasData);
        for (std::uint64_t i = 0; image.cells && i <= image.count; ++i) {
            cells.push_back(std::uint32_t{image.cells[i].value} << 8 | image.cells[i].used << 1 |
                            image.cells[i].isProtected);
        }
    }
    return cells;
}

// A dsPIC30F4011-like device: bootloader in the top 16 rows, F80006 protected.
struct Loader : ::testing::Test {
    void SetUp() override {
        device.images[kBlockCode].SetRange(0x0000, 0x7FFE);
        device.images[kBlockEeprom].SetRange(0x7FFC00, 0x7FFFFE);
        device.images[kBlockConfig].SetRange(0xF80000, 0xF8000E);
        device.images[kBlockConfig].MarkProtected(0xF80006, 0xF80006);
        device.bootStart = 0x7C00;
        device.bootEnd = 0x7FFE;
    }
    int Load(const std::string& contents) {
        return LoadHexImage(device, dir.Write("f.hex", contents).string(), status, boxes);
    }
    CMemoryImage& Code() { return device.images[kBlockCode]; }
    CMemoryImage& Eeprom() { return device.images[kBlockEeprom]; }
    CMemoryImage& Config() { return device.images[kBlockConfig]; }
    void ExpectBoxes(const std::vector<RecordedBox>& expected) {
        ASSERT_EQ(boxes.boxes.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(boxes.boxes[i].text, expected[i].text);
            EXPECT_EQ(boxes.boxes[i].caption, expected[i].caption);
            EXPECT_EQ(boxes.boxes[i].icon, expected[i].icon);
            EXPECT_EQ(boxes.boxes[i].buttons, BoxButtons::Ok);
        }
    }
    testsupport::TempDir dir;
    CDeviceInfo device;
    HexFileStatus status;
    testsupport::RecordingMessageBox boxes;
};

TEST_F(Loader, ResetVectorReplacesTheFilesGotoButKeepsWordThree) {
    EXPECT_EQ(Load(Data(0, "000104000000AB00") + kEnd), 1);
    EXPECT_EQ(Code().ReadInstruction(0, false), 0x00047C00u);
    EXPECT_EQ(Code().ReadWord(2), 0x0000);
    EXPECT_EQ(Code().ReadWord(3), 0x00AB);

    device.bootStart = 0x17C00;
    EXPECT_EQ(Load(Data(0x200, "01020304") + kEnd), 1);
    EXPECT_EQ(Code().ReadWord(0), 0x7C00);
    EXPECT_EQ(Code().ReadWord(1), 0x0004);
    EXPECT_EQ(Code().ReadWord(2), 0x0001);

    Code().MarkProtected(0x0, 0x2);
    boxes.boxes.clear();
    EXPECT_EQ(Load(Data(0x200, "01020304") + kEnd), 1);
    ExpectBoxes({{"Your HEX file contains data in protected 'code" + kProtectedTail, "Warning",
                  BoxIcon::Information, BoxButtons::Ok}});
}

TEST_F(Loader, KeepsTheStatusOfTheLastOpenedFile) {
    HexFileStatus direct;
    EXPECT_FALSE(ReadHexFileStatus((dir.path() / "none.hex").string(), direct));
    const auto path = dir.Write("stamped.hex", ":0400000001020304F2\n:00000001FF\n");
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(30));
    ASSERT_TRUE(ReadHexFileStatus(path.string(), direct));
    EXPECT_EQ(LoadHexImage(device, path.string(), status, boxes), 1);
    EXPECT_TRUE(status.valid);
    EXPECT_EQ(status.size, 32);
    EXPECT_EQ(status.modifiedSeconds, direct.modifiedSeconds);

    // A refused file that was opened renews the status all the same.
    const auto broken = dir.Write("broken.hex", ":0400000001020304F3\n");
    EXPECT_EQ(LoadHexImage(device, broken.string(), status, boxes), 0);
    EXPECT_EQ(status.size, 20);
}

// Whatever refuses a load, the images of the last good load stay exactly as they were, and
// the box keeps its text with the cause as a line of its own.
TEST_F(Loader, EveryRefusalKeepsTheLastGoodImagesAndNamesItsCause) {
    const std::string good = Data(0, "0001040000000000") + Data(0x200, "11223344") + Upper(0x00FF) +
                             Data(0xF800, "5AA50000") + kEnd;
    ASSERT_EQ(Load(good), 1);
    const std::vector<std::uint32_t> loaded = Snapshot(device);
    const testsupport::SpecialFiles special(dir.path());

    const std::string openText = "Load HEX file failed.\nCheck path and try again.\n";
    const std::string lineText =
        "Load HEX file failed.\nVerify dsPic list integrity or contact vardeno.\n";
    const struct {
        const char* name;
        std::string path;      // a file of its own, or empty for one holding `contents`
        std::string contents;  // written to f.hex
        HexLoadResult result;
        RecordedBox box;
    } cases[] = {
        {"no path",
         "-",
         "",
         HexLoadResult::NotOpened,
         {openText + "no HEX file was chosen", "loading error", BoxIcon::Error, BoxButtons::Ok}},
        {"missing file",
         (dir.path() / "none.hex").string(),
         "",
         HexLoadResult::NotOpened,
         {openText + (dir.path() / "none.hex").string() + ": " + testsupport::MissingFileText(),
          "loading error", BoxIcon::Error, BoxButtons::Ok}},
        {"directory",
         dir.path().string(),
         "",
         HexLoadResult::NotOpened,
         {openText + dir.path().string() + " is not a regular file", "loading error",
          BoxIcon::Error, BoxButtons::Ok}},
        {"pipe without a writer",
         special.pipe,
         "",
         HexLoadResult::NotOpened,
         {openText + special.pipe + " is not a regular file", "loading error", BoxIcon::Error,
          BoxButtons::Ok}},
        {"device",
         special.device,
         "",
         HexLoadResult::NotOpened,
         {openText + special.device + " is not a regular file", "loading error", BoxIcon::Error,
          BoxButtons::Ok}},
        {"cut in the middle of its third line",
         "",
         Data(0, "A1A2A3A4") + Data(4, "B1B2B3B4") + ":040008",
         HexLoadResult::BadLine,
         {lineText + "line 3: too short for a record", "loading error", BoxIcon::Error,
          BoxButtons::Ok}},
        {"cut after a whole line",
         "",
         Data(0, "A1A2A3A4") + Data(4, "B1B2B3B4"),
         HexLoadResult::BadLine,
         {lineText + "line 3: the file ends without its end-of-file record (cut short)",
          "loading error", BoxIcon::Error, BoxButtons::Ok}},
        {"wrong checksum on line 5",
         "",
         Data(0, "01020304") + Data(4, "01020304") + Data(8, "01020304") + Data(12, "01020304") +
             ":04001000010203047C\n" + kEnd,
         HexLoadResult::BadLine,
         {lineText + "line 5: checksum 0x7C, expected 0xE2", "loading error", BoxIcon::Error,
          BoxButtons::Ok}},
        {"data outside the memories",
         "",
         Data(0, "01020304") + Upper(0x0100) + Data(0, "01020304") + kEnd,
         HexLoadResult::OutsideData,
         {"Load HEX file failed.\nThe file holds data outside the dsPIC memories.\nline 3: data "
          "at word address 0x800000 lies outside the dsPIC memories",
          "loading error", BoxIcon::Error, BoxButtons::Ok}},
        {"0-byte file",
         "",
         "",
         HexLoadResult::Empty,
         {"The selected HEX file is empty.\nthe file holds no record", "loading error",
          BoxIcon::Error, BoxButtons::Ok}},
        {"only the end-of-file record",
         "",
         kEnd,
         HexLoadResult::Empty,
         {"The selected HEX file is empty.\nthe file holds no data record", "loading error",
          BoxIcon::Error, BoxButtons::Ok}},
        {"records without a whole group",
         "",
         Upper(0) + Data(0, "0102") + kEnd,
         HexLoadResult::BadLine,
         {lineText + "line 2: the 4-byte group at byte address 0x0 is incomplete: the file gives "
                     "2 of its bytes",
          "loading error", BoxIcon::Error, BoxButtons::Ok}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.boxes.clear();
        const std::string path = c.path == "-"    ? std::string()
                                 : c.path.empty() ? dir.Write("f.hex", c.contents).string()
                                                  : c.path;
        HexFileStatus ignored;
        const HexLoadReport report = LoadHexImage(device, path, ignored);
        EXPECT_EQ(report.result, c.result);
        ShowHexLoadBoxes(report, boxes);
        ExpectBoxes({c.box});
        EXPECT_EQ(Snapshot(device), loaded);
    }
}

TEST_F(Loader, RefusalBeforeAnyGoodLoadLeavesNothingLoaded) {
    EXPECT_EQ(Load(Data(0, "01020304") + ":0400040001020304F2\n"), 0);
    EXPECT_FALSE(Code().hasData);
    MemoryCell cell;
    Code().GetCell(0, cell);
    EXPECT_FALSE(cell.used);
}

// A load replaces all three images: what an earlier file put into EEPROM or configuration
// is gone when the next file holds none.
TEST_F(Loader, ANewLoadForgetsTheMemoriesTheNewFileLeavesOut) {
    ASSERT_EQ(Load(Data(0x200, "01020304") + Upper(0x00FF) + Data(0xF800, "5AA50000") +
                   Upper(0x01F0) + Data(0x0C, "C3000000") + kEnd),
              1);
    ASSERT_TRUE(Eeprom().hasData);
    ASSERT_TRUE(Config().hasData);
    ASSERT_EQ(Load(Data(0x200, "01020304") + kEnd), 1);
    EXPECT_FALSE(Eeprom().hasData);
    EXPECT_FALSE(Config().hasData);
    EXPECT_EQ(Eeprom().ReadWord(0x7FFC00), 0);
    EXPECT_EQ(Config().ReadWord(0xF80006), 0);
    EXPECT_TRUE(Config().IsProtected(0xF80006));  // the marks are the device's, they stay
}

// Without program flash data no reset vector row is made: nothing would be sent over the
// program already on the chip.
TEST_F(Loader, AFileWithoutCodeDataLeavesProgramFlashEmpty) {
    EXPECT_EQ(Load(Upper(0x00FF) + Data(0xF800, "5AA50000") + kEnd), 1);
    EXPECT_FALSE(Code().hasData);
    EXPECT_TRUE(Eeprom().hasData);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Loader, WarnsOnceAboutBootloaderData) {
    EXPECT_EQ(Load(Upper(0) + Data(0xF800, "000102030405060708090A0B0C0D0E0F") +
                   Data(0xFFF0, "000102030405060708090A0B0C0D0E0F") + kEnd),
              1);
    ExpectBoxes({{kBootloaderText, "bootloader conflict", BoxIcon::Warning, BoxButtons::Ok}});

    // Data at bootEnd itself lies past the scan.
    boxes.boxes.clear();
    EXPECT_EQ(Load(Data(0xFFFC, "01020304") + kEnd), 1);
    EXPECT_TRUE(boxes.boxes.empty());

    // The scan begins at bootStart itself: a group whose upper half is the first bootloader
    // word is bootloader data.
    device.bootStart = 0x7C01;
    boxes.boxes.clear();
    EXPECT_EQ(Load(Data(0xF800, "01020304") + kEnd), 1);
    ExpectBoxes({{kBootloaderText, "bootloader conflict", BoxIcon::Warning, BoxButtons::Ok}});
}

TEST_F(Loader, BootloaderBeyondTheCodeImageIsInvalidUnlessDataCameFirst) {
    device.bootEnd = 0x8010;
    EXPECT_EQ(Load(Data(0, "01020304") + kEnd), 0);
    ExpectBoxes({{"Invalid Data\nthe bootloader range 0x7C00 - 0x8010 is not inside program flash",
                  "bootloader conflict", BoxIcon::Warning, BoxButtons::Ok}});
    EXPECT_FALSE(Code().hasData);

    boxes.boxes.clear();
    EXPECT_EQ(Load(Data(0xFFF8, "01020304") + kEnd), 1);
    ExpectBoxes({{kBootloaderText, "bootloader conflict", BoxIcon::Warning, BoxButtons::Ok}});
}

TEST_F(Loader, WarnsAboutProtectedDataInMemoryOrder) {
    Code().MarkProtected(0x100, 0x13E);
    Eeprom().MarkProtected(0x7FFC00, 0x7FFC1E);
    EXPECT_EQ(Load(Upper(0x01F0) + Data(0x0C, "C3000000") + Upper(0x00FF) +
                   Data(0xF800, "5AA50000") + Upper(0) + Data(0x200, "01020304") + kEnd),
              1);
    ExpectBoxes({{"Your HEX file contains data in protected 'code" + kProtectedTail, "Warning",
                  BoxIcon::Information, BoxButtons::Ok},
                 {"Your HEX file contains data in protected 'eeprom" + kProtectedTail, "Warning",
                  BoxIcon::Information, BoxButtons::Ok},
                 {"Your HEX file contains data in protected 'config" + kProtectedTail, "Warning",
                  BoxIcon::Information, BoxButtons::Ok}});
}

}  // namespace

// Program flash is written only for a program: a file whose program-flash data is only its own
// reset instruction, or lies only in the bootloader, leaves program flash alone instead of
// making row 0 from the jump and zeros over the chip's interrupt vectors.
TEST_F(Loader, RowZeroIsMadeOnlyForAProgram) {
    struct Row {
        const char* what;
        std::string file;
        bool codeWritten;
    };
    const std::string eeprom = Upper(0x00FF) + Data(0xF800, "1122000033440000");
    const Row rows[] = {
        {"the reset instruction and EEPROM", Data(0, "00010400") + eeprom + kEnd, false},
        {"data only inside the bootloader", Data(0xF800, "AABBCC00") + kEnd, false},
        {"the bootloader's last instruction", Data(0xFFFC, "AABBCC00") + eeprom + kEnd, false},
        {"a word after the reset instruction", Data(0, "000104000000AB00") + kEnd, true},
        {"a program below the bootloader", Data(0x200, "11223344") + kEnd, true},
        {"EEPROM only", eeprom + kEnd, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(Load(row.file), 1);
        EXPECT_EQ(Code().hasData, row.codeWritten);
        if (row.codeWritten) {
            EXPECT_EQ(Code().ReadInstruction(0, false), 0x00047C00u) << "the jump";
        } else {
            EXPECT_EQ(Code().FirstUsedAddress(), Code().GetEnd()) << "nothing at all";
        }
    }
}
