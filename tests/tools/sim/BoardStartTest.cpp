// Starting a board: the device from the catalogue, the COM link it publishes and removes,
// and the clear refusals when something does not do.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/tools/sim/BoardTestSupport.h"

using namespace boardtest;

namespace {

class BoardStartTest : public ::testing::Test {
protected:
    std::filesystem::path Ports() const { return fixture.Dir().path() / "config/lunvik/ports"; }
    std::string StartFailure(const BoardOptions& options) {
        std::string error;
        EXPECT_FALSE(VirtualBoard::Start(options, &error));
        return error;
    }

    BoardFixture fixture;
};

TEST_F(BoardStartTest, PublishesTheComLinkForItsLifeOnly) {
    BoardOptions options = fixture.Options();
    options.comNumber = 7;
    std::string devicePath;
    {
        auto board = fixture.Start(options);
        ASSERT_TRUE(board);
        devicePath = board->DevicePath();
        EXPECT_EQ(board->ComNumber(), 7);
        EXPECT_EQ(std::filesystem::read_symlink(Ports() / "COM7"), devicePath);
        struct stat status {};
        ASSERT_EQ(stat(Ports().c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u);
    }
    EXPECT_FALSE(std::filesystem::is_symlink(Ports() / "COM7"));

    auto unpublished = fixture.Start(fixture.Options());
    ASSERT_TRUE(unpublished);
    EXPECT_EQ(unpublished->ComNumber(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(Ports()));
}

TEST_F(BoardStartTest, ReplacesOnlyADanglingLink) {
    std::filesystem::create_directories(Ports());
    std::filesystem::create_symlink("/dev/pts/no-such-terminal", Ports() / "COM3");
    std::filesystem::create_symlink("/dev/null", Ports() / "COM4");

    BoardOptions options = fixture.Options();
    options.comNumber = 3;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    EXPECT_EQ(std::filesystem::read_symlink(Ports() / "COM3"), board->DevicePath());

    options.comNumber = 4;
    const std::string error = StartFailure(options);
    EXPECT_NE(error.find("COM4"), std::string::npos) << error;
    EXPECT_NE(error.find("/dev/null"), std::string::npos) << error;
    EXPECT_EQ(std::filesystem::read_symlink(Ports() / "COM4"), "/dev/null");
}

TEST_F(BoardStartTest, RefusesClearly) {
    BoardOptions options = fixture.Options("dsPIC99Z");
    EXPECT_NE(StartFailure(options).find("dsPIC99Z"), std::string::npos);

    options = fixture.Options();
    options.cataloguePath = (fixture.Dir().path() / "missing.xml").string();
    EXPECT_NE(StartFailure(options).find("missing.xml"), std::string::npos);

    options = fixture.Options();
    options.frameLogPath = (fixture.Dir().path() / "no-dir" / "frames.log").string();
    EXPECT_NE(StartFailure(options).find("frames.log"), std::string::npos);

    options = fixture.Options();
    options.lineTiming = true;
    options.baud = 0;
    EXPECT_FALSE(StartFailure(options).empty());

    const auto noBootloader = fixture.Dir().Write(
        "nobootloader.xml",
        R"(<d><device id="0x0001" name="Bare"><memcode startaddress="0" endaddress="0x7E"
           instructionxrow="32"/></device></d>)");
    options = fixture.Options("Bare");
    options.cataloguePath = noBootloader.string();
    EXPECT_NE(StartFailure(options).find("bootloader"), std::string::npos);
}

}  // namespace
