#include <gtest/gtest.h>

#include <filesystem>

#include "common/Product.h"
#include "image/HexLoader.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::RecordedBox;

const std::string kBootloaderText =
    std::string(
        "Your HEX file contains data in bootloader addresses.\nThe write will be cutted "
        "out properly for safety reasons.\n\nContact vardeno(") +
    product::kMakerWebAddress + ") for further information.";

// A dsPIC30F4011-like device: bootloader in the top 16 rows, F80006 protected.
struct Loader : ::testing::Test {
    void SetUp() override {
        device.images[CDeviceInfo::kCode].SetRange(0x0000, 0x7FFE);
        device.images[CDeviceInfo::kData].SetRange(0x7FFC00, 0x7FFFFE);
        device.images[CDeviceInfo::kConfig].SetRange(0xF80000, 0xF8000E);
        device.images[CDeviceInfo::kConfig].MarkProtected(0xF80006, 0xF80006);
        device.bootStart = 0x7C00;
        device.bootEnd = 0x7FFE;
    }
    int Load(const std::string& contents) {
        return LoadHexImage(device, dir.Write("f.hex", contents).string(), status, boxes);
    }
    CMemoryImage& Code() { return device.images[CDeviceInfo::kCode]; }
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

TEST_F(Loader, FileWithoutDataHoldsOnlyTheResetVector) {
    device.bootStart = 0x17C00;
    EXPECT_EQ(Load(":020000040000FA\n:00000001FF\n"), 1);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Code().ReadWord(0), 0x7C00);
    EXPECT_EQ(Code().ReadWord(1), 0x0004);
    EXPECT_EQ(Code().ReadWord(2), 0x0001);
    EXPECT_EQ(Code().LastUsedAddress(), 2u);
}

TEST_F(Loader, ResetVectorReplacesTheFilesGotoButKeepsWordThree) {
    EXPECT_EQ(Load(":08000000000104000000AB00FF\n:00000001FF\n"), 1);
    EXPECT_EQ(Code().ReadInstruction(0, false), 0x00047C00u);
    EXPECT_EQ(Code().ReadWord(2), 0x0000);
    EXPECT_EQ(Code().ReadWord(3), 0x00AB);

    Code().MarkProtected(0x0, 0x2);
    boxes.boxes.clear();
    EXPECT_EQ(Load(":00000001FF\n"), 1);
    ExpectBoxes(
        {{"Your HEX file contains data in protected 'code' addresses.\nProtected "
          "addresses will NOT be overwritten.",
          "Warning", BoxIcon::Information, BoxButtons::Ok}});
}

TEST_F(Loader, RefusesMissingFilesAndKeepsTheStatusOfTheLastOpenedOne) {
    EXPECT_EQ(LoadHexImage(device, "", status, boxes), 0);
    EXPECT_EQ(LoadHexImage(device, (dir.path() / "none.hex").string(), status, boxes), 0);
    EXPECT_EQ(LoadHexImage(device, dir.path().string(), status, boxes), 0);
    const RecordedBox pathBox{"Load HEX file failed.\nCheck path and try again.", "loading error",
                              BoxIcon::Error, BoxButtons::Ok};
    ExpectBoxes({pathBox, pathBox, pathBox});
    EXPECT_FALSE(status.valid);

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
}

TEST_F(Loader, MalformedLineFailsAndKeepsWhatCameBefore) {
    EXPECT_EQ(Load(":020000040000FA\n:0400000001020304F2\n:0400040011223344F2\n"
                   ":0400080055667788F2\n:0400000301020304F2\n:0400100099AABBCCF2\n"),
              0);
    ExpectBoxes({{"Load HEX file failed.\nVerify dsPic list integrity or contact vardeno.",
                  "loading error", BoxIcon::Error, BoxButtons::Ok}});
    EXPECT_TRUE(status.valid);
    EXPECT_EQ(Code().ReadWord(2), 0x2211);  // no reset vector after a failed read
    EXPECT_EQ(Code().ReadWord(4), 0x6655);
    EXPECT_EQ(Code().ReadWord(8), 0);
}

TEST_F(Loader, DataOutsideEveryMemoryIsRefusedNotHalfLoaded) {
    EXPECT_EQ(Load(":0400000001020304F2\n:020000040100F9\n:0400000001020304F2\n"
                   ":0200000401F009\n:04000000C3000000F9\n:00000001FF\n"),
              0);
    ExpectBoxes({{"Load HEX file failed.\nThe file holds data outside the dsPIC memories.",
                  "loading error", BoxIcon::Error, BoxButtons::Ok}});
    EXPECT_EQ(Code().ReadWord(0), 0x0201);
}

TEST_F(Loader, EmptyCodeImageIsRefused) {
    Code().SetRange(0x100, 0x7FFE);
    EXPECT_EQ(Load(":0200000401F009\n:04000000C3000000F9\n:00000001FF\n"), 0);
    ExpectBoxes(
        {{"The selected HEX file is empty.", "loading error", BoxIcon::Error, BoxButtons::Ok}});
}

TEST_F(Loader, WarnsOnceAboutBootloaderData) {
    EXPECT_EQ(Load(":020000040000FA\n:10F80000000102030405060708090A0B0C0D0E0F00\n"
                   ":10FFF000000102030405060708090A0B0C0D0E0F00\n:00000001FF\n"),
              1);
    ExpectBoxes({{kBootloaderText, "bootloader conflict", BoxIcon::Warning, BoxButtons::Ok}});

    // Data at bootEnd itself lies past the scan.
    boxes.boxes.clear();
    EXPECT_EQ(Load(":04FFFC0001020304F2\n:00000001FF\n"), 1);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Loader, BootloaderBeyondTheCodeImageIsInvalidUnlessDataCameFirst) {
    device.bootEnd = 0x8010;
    EXPECT_EQ(Load(":0400000001020304F2\n:00000001FF\n"), 0);
    ExpectBoxes({{"Invalid Data", "bootloader conflict", BoxIcon::Warning, BoxButtons::Ok}});

    boxes.boxes.clear();
    EXPECT_EQ(Load(":04FFF80001020304F2\n:00000001FF\n"), 1);
    ExpectBoxes({{kBootloaderText, "bootloader conflict", BoxIcon::Warning, BoxButtons::Ok}});
}

TEST_F(Loader, WarnsAboutProtectedDataCodeFirstThenConfig) {
    Code().MarkProtected(0x100, 0x13E);
    EXPECT_EQ(Load(":0200000401F009\n:04000C00C3000000ED\n:020000040000FA\n"
                   ":0402000001020304F2\n:00000001FF\n"),
              1);
    const std::string tail = "' addresses.\nProtected addresses will NOT be overwritten.";
    ExpectBoxes({{"Your HEX file contains data in protected 'code" + tail, "Warning",
                  BoxIcon::Information, BoxButtons::Ok},
                 {"Your HEX file contains data in protected 'config" + tail, "Warning",
                  BoxIcon::Information, BoxButtons::Ok}});
}

}  // namespace
