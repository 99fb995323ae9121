// The main window and pelorant-cli write the same file alike: every rule of what a load
// writes lives in the programming session, and both front ends only render it.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/BootloaderApp.h"
#include "tests/image/HexRecords.h"
#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/DialogTemplate.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"

namespace fs = std::filesystem;
using namespace hexrecords;

namespace {

// The shipped catalogue with the dsPIC30F4011's bootloader moved into the middle of its flash.
std::string MidFlashCatalogue() {
    std::string text =
        testsupport::ReadFile(uitest::PageEnvironment::CatalogueDirectory() / "qor_dspiclist.xml");
    const std::string top = "<bootloader startaddress=\"0x007C00\" endaddress=\"0x007FFE\"/>";
    const std::size_t entry = text.find("name=\"dsPIC30F4011\"");
    text.replace(text.find(top, entry), top.size(),
                 "<bootloader startaddress=\"0x003C00\" endaddress=\"0x003FFE\"/>");
    return text;
}

struct FileCase {
    const char* what;
    std::string hex;
    bool midFlashBootloader = false;
    bool rowZero = false;  // a board gets row 0
};

std::vector<FileCase> Files() {
    const std::string eeprom = Upper(0x00FF) + Data(0xF800, "1122000033440000");
    const std::string config = Upper(0x01F0) + Data(0x0000, "0AC70000") + Data(0x0004, "3F800000");
    return {
        {"its own reset instruction and EEPROM", Data(0, "00010400") + eeprom + kEnd},
        {"program flash only inside the bootloader", Data(0xF800, "AABBCC00") + kEnd},
        {"the sample", testsupport::ReadFile(SampleHexPath()), false, true},
        {"EEPROM only", eeprom + kEnd},
        {"configuration only", config + kEnd},
        {"code around a mid-flash bootloader",
         Data(0x0200, "11223344") + Data(0x7880, "55667700") + Data(0x8000, "8899AA00") + kEnd,
         true, true},
    };
}

class FrontEndsAgreeTest : public MainWindowTest {
protected:
    // A board for the case, with its catalogue where the host reads it too.
    std::unique_ptr<VirtualBoard> StartCaseBoard(const FileCase& file, int comNumber) {
        const fs::path catalogue = environment_.Dir() / "catalogue";
        fs::create_directories(catalogue);
        std::ofstream(catalogue / "qor_dspiclist.xml")
            << (file.midFlashBootloader
                    ? MidFlashCatalogue()
                    : testsupport::ReadFile(uitest::PageEnvironment::CatalogueDirectory() /
                                            "qor_dspiclist.xml"));
        uitest::PageEnvironment::SetWorkingPath(catalogue);
        BoardOptions options;
        options.cataloguePath = (catalogue / "qor_dspiclist.xml").string();
        options.device = "dsPIC30F4011";
        options.comNumber = comNumber;
        std::string error;
        std::unique_ptr<VirtualBoard> board = VirtualBoard::Start(options, &error);
        EXPECT_TRUE(board) << error;
        return board;
    }

    // Writes the file through the window, every memory it offers ticked.
    void WriteThroughTheWindow(const fs::path& hex) {
        MakeWindow();
        Open(hex);
        for (const int id : mainwindow::kBlockCheckIds) {
            auto* box = dialog::FindControlAs<QCheckBox>(window_.get(), id);
            if (box->isEnabled()) box->setChecked(true);
        }
        window_->OnWriteCommand();
        ASSERT_TRUE(WaitWhileBusy());
    }

    // Writes the file with pelorant-cli, every memory named.
    void WriteThroughTheCli(const fs::path& hex, const VirtualBoard& board) {
        const fs::path out = environment_.Dir() / "cli.out";
        const std::string command =
            std::string(PELORANT_CLI_PATH) + " write --port " + board.DevicePath() + " --workdir " +
            (environment_.Dir() / "catalogue").string() + " --memories code,eeprom,config " +
            hex.string() + " >" + out.string() + " 2>&1";
        const int status = std::system(command.c_str());
        ASSERT_NE(status, -1);
        SCOPED_TRACE(testsupport::ReadFile(out));
        EXPECT_TRUE(WIFEXITED(status));
    }

    std::string Dump(const VirtualBoard& board, const std::string& name) {
        const fs::path path = environment_.Dir() / name;
        EXPECT_TRUE(board.DumpHex(path.string()));
        return testsupport::ReadFile(path);
    }

    static bool GotRowZero(const VirtualBoard& board) {
        for (const ReceivedFrame& frame : board.Frames()) {
            if (frame.bytes.size() >= 4 && frame.bytes[0] == 0x02 && frame.bytes[1] == 0 &&
                frame.bytes[2] == 0 && frame.bytes[3] == 0) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(FrontEndsAgreeTest, TheWindowAndTheCommandLineLeaveTheSameMemory) {
    for (const FileCase& file : Files()) {
        SCOPED_TRACE(file.what);
        const fs::path hex = environment_.Dir() / "firmware.hex";
        std::ofstream(hex) << file.hex;

        board_ = StartCaseBoard(file, kCom);
        ASSERT_TRUE(board_);
        ASSERT_TRUE(uitest::PageEnvironment::OpenPort(kCom));
        theApp().m_comNumber = kCom;
        MessageQueue results;
        theApp().m_detectionParam.notifyWindow = &results;
        theApp().m_detectionParam.stop = 0;
        DetectionWorker(theApp().Engine());
        theApp().m_detectionParam.notifyWindow = nullptr;
        ASSERT_EQ(IdentifyDevice(theApp().Engine()), IdentifyResult::Identified);
        WriteThroughTheWindow(hex);
        window_.reset();
        theApp().m_serialPort.ClosePort();
        const std::string byWindow = Dump(*board_, "window.hex");
        EXPECT_EQ(GotRowZero(*board_), file.rowZero);

        const std::unique_ptr<VirtualBoard> cliBoard = StartCaseBoard(file, 0);
        ASSERT_TRUE(cliBoard);
        WriteThroughTheCli(hex, *cliBoard);
        EXPECT_EQ(Dump(*cliBoard, "cli.hex"), byWindow);
        EXPECT_EQ(GotRowZero(*cliBoard), file.rowZero);
        board_.reset();
    }
}

}  // namespace
