#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/Settings.h"
#include "catalogue/Catalogue.h"
#include "common/Product.h"
#include "image/HexLoader.h"
#include "serial/CSerialPort.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/cli/CliRunner.h"
#include "tools/sim/VirtualBoard.h"

namespace {

const std::string kCatalogueDir = std::string(PELORANT_SOURCE_DIR) + "/catalogue";
const std::string kSample = std::string(PELORANT_SOURCE_DIR) + "/samples/dsPIC30F4011-counter.hex";
const char* const kCodeOnlyHex = ":020000040000FA\n:080000000001040000000000F3\n:00000001FF\n";

// What `check` says a write sends for one memory: its row size and the row starts.
struct PlannedMemory {
    std::uint32_t rowUnits = 0;
    std::vector<std::uint32_t> rows;
};

std::map<std::string, PlannedMemory> ParseCheck(const std::string& report) {
    std::map<std::string, PlannedMemory> plan;
    const std::regex header(R"(^(program flash|data EEPROM|configuration) .*rows of (\d+) )");
    const std::regex span(R"(0x([0-9A-F]+)-0x([0-9A-F]+))");
    std::istringstream lines(report);
    std::string line;
    std::string memory;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, match, header)) {
            memory = match[1];
            plan[memory].rowUnits = static_cast<std::uint32_t>(std::stoul(match[2]));
        } else if (line.rfind("  send ", 0) == 0 && !memory.empty()) {
            PlannedMemory& planned = plan[memory];
            for (std::sregex_iterator it(line.begin(), line.end(), span), end; it != end; ++it) {
                const std::uint32_t first =
                    static_cast<std::uint32_t>(std::stoul((*it)[1], nullptr, 16));
                const std::uint32_t last =
                    static_cast<std::uint32_t>(std::stoul((*it)[2], nullptr, 16));
                for (std::uint32_t row = first; row < last; row += planned.rowUnits) {
                    planned.rows.push_back(row);
                }
            }
        }
    }
    return plan;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CliTest : public ::testing::Test {
protected:
    CliTest()
        : configHome_("XDG_CONFIG_HOME", (dir_.path() / "config").string()),
          runtimeDir_("XDG_RUNTIME_DIR", (dir_.path() / "run").string()) {}

    void StartBoard(BoardFaults faults = {}, int comNumber = 0) {
        BoardOptions options;
        options.cataloguePath = kCatalogueDir + "/qor_dspiclist.xml";
        options.device = "dsPIC30F4011";
        options.faults = faults;
        options.comNumber = comNumber;
        std::string error;
        board_ = VirtualBoard::Start(options, &error);
        ASSERT_TRUE(board_) << error;
    }

    // A board command with the port, the catalogue and a short detection limit.
    CliRun Board(std::vector<std::string> args) {
        args.insert(args.end(), {"--port", board_->DevicePath(), "--workdir", kCatalogueDir,
                                 "--detect-timeout", "2"});
        return RunCli(args);
    }

    // The board reads the run command after the tool has exited; give it time.
    bool UserProgramStarts() const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!board_->UserProgramRunning()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    std::vector<std::uint32_t> RowsReceived() const {
        std::vector<std::uint32_t> rows;
        for (const ReceivedFrame& frame : board_->Frames()) {
            if (frame.bytes.size() < 4 || frame.bytes[0] != 0x02) continue;
            rows.push_back(std::uint32_t{frame.bytes[1]} << 16 |
                           std::uint32_t{frame.bytes[2]} << 8 | frame.bytes[3]);
        }
        return rows;
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnv configHome_;
    testsupport::ScopedEnv runtimeDir_;
    std::unique_ptr<VirtualBoard> board_;
};

TEST_F(CliTest, MalformedCommandLinesAreUsageErrors) {
    const std::vector<std::vector<std::string>> lines = {
        {},
        {"flash"},
        {"detect"},
        {"detect", "--port", "COM0"},
        {"detect", "--port", "COM1", "--baud", "fast"},
        {"detect", "--port", "COM1", "--frobnicate"},
        {"detect", "--port", "COM1", "--memories", "code"},
        {"write", "--port", "COM1"},
        {"write", "--port", "COM1", "--memories", "code,flash", "a.hex"},
        {"check", "a.hex"},
        {"ports", "--detect-timeout", "0"},
    };
    for (const auto& line : lines) {
        const CliRun run = RunCli(line);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(line);
        EXPECT_TRUE(Contains(run.err, "pelorant-cli: ")) << run.err;
    }
    EXPECT_EQ(RunCli({"--help"}).status, 0);
    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("pelorant-cli ") + product::kSoftwareVersion + "\n");
}

TEST_F(CliTest, CheckPrintsThePlanOfEachMemoryAndTheLoadsWarnings) {
    const CliRun run =
        RunCli({"check", "--device", "dsPIC30F4011", "--workdir", kCatalogueDir, kSample});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "device dsPIC30F4011 (0x0101)"));
    EXPECT_TRUE(Contains(run.out, "  send                 4 rows: 0x0000-0x003F 0x0100-0x01BF"));
    EXPECT_TRUE(Contains(run.out, "  skip, protected      2 rows: 0xF80006-0xF80009"));
    EXPECT_TRUE(Contains(run.out, "written only with --memories config"));
    EXPECT_FALSE(Contains(run.out, "warnings of the load"));

    // Data inside the bootloader: the row is passed over and the load's warning printed.
    const auto inBootloader =
        dir_.Write("boot.hex", ":020000040000FA\n:04F80000AABBCC0000\n:00000001FF\n");
    const CliRun warned =
        RunCli({"check", "--device", "0x0101", "--workdir", kCatalogueDir, inBootloader});
    ASSERT_EQ(warned.status, 0) << warned.err;
    EXPECT_TRUE(Contains(warned.out, "skip, bootloader     1 row: 0x7C00-0x7C3F"));
    EXPECT_TRUE(Contains(warned.out, "warnings of the load:\nwarning: bootloader conflict"));
}

TEST_F(CliTest, CheckFindsTheWorkingPathInTheSettings) {
    ASSERT_EQ(WriteSettingString(kCatalogueDir.c_str(), product::kSettingsKey, "path"), 0);
    EXPECT_EQ(RunCli({"check", "--device", "dsPIC30F4011", kSample}).status, 0);
}

TEST_F(CliTest, CheckRefusesUnknownDevicesAndBadFiles) {
    const CliRun unknown =
        RunCli({"check", "--device", "dsPIC99", "--workdir", kCatalogueDir, kSample});
    EXPECT_EQ(unknown.status, 5);
    EXPECT_TRUE(Contains(unknown.err, "dsPIC30F4011")) << unknown.err;

    const auto broken = dir_.Write("broken.hex", ":020000040000FA\n:0800000000010400\n");
    const CliRun bad =
        RunCli({"check", "--device", "dsPIC30F4011", "--workdir", kCatalogueDir, broken});
    EXPECT_EQ(bad.status, 6);
    EXPECT_TRUE(Contains(bad.err, "loading error")) << bad.err;
}

TEST_F(CliTest, WriteSendsExactlyWhatCheckPlannedAndRunsTheProgram) {
    const CliRun check =
        RunCli({"check", "--device", "dsPIC30F4011", "--workdir", kCatalogueDir, kSample});
    ASSERT_EQ(check.status, 0);
    const auto plan = ParseCheck(check.out);
    ASSERT_EQ(plan.size(), 3u);

    StartBoard();
    const CliRun run = Board({"write", "--memories", "code,eeprom,config", "--run", kSample});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "dsPIC write process completed"));
    EXPECT_TRUE(Contains(run.out, "Running program"));
    EXPECT_TRUE(Contains(run.err, "reset (restart) your dsPIC platform"));

    std::vector<std::uint32_t> planned;
    for (const char* memory : {"program flash", "data EEPROM", "configuration"}) {
        const auto& rows = plan.at(memory).rows;
        planned.insert(planned.end(), rows.begin(), rows.end());
    }
    EXPECT_EQ(RowsReceived(), planned);

    CDeviceInfo device;
    std::string name;
    ASSERT_EQ(LookupDevice(kCatalogueDir + "/qor_dspiclist.xml", "0x0101", device, name), 0);
    testsupport::RecordingMessageBox boxes;
    HexFileStatus status;
    ASSERT_EQ(LoadHexImage(device, kSample, status, boxes), 1);
    int block = 0;
    for (const char* memory : {"program flash", "data EEPROM", "configuration"}) {
        const PlannedMemory& sent = plan.at(memory);
        CMemoryImage& image = device.images[block++];
        for (const std::uint32_t row : sent.rows) {
            for (std::uint32_t a = row; a < row + sent.rowUnits; ++a) {
                ASSERT_EQ(board_->Word(a), image.ReadWord(a)) << memory << " at " << a;
            }
        }
    }
    EXPECT_EQ(board_->Word(0x0040), 0xFFFF);  // a row the file does not fill stays erased
    EXPECT_TRUE(UserProgramStarts());
}

TEST_F(CliTest, WriteByDefaultLeavesTheConfigurationAlone) {
    StartBoard();
    const CliRun run = Board({"write", kSample});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::uint32_t> expected = {0x0000, 0x0100, 0x0140, 0x0180, 0x7FFC00};
    EXPECT_EQ(RowsReceived(), expected);
    EXPECT_FALSE(board_->UserProgramRunning());
}

TEST_F(CliTest, NamingAMemoryTheFileDoesNotFillIsAWarningNotAWrite) {
    StartBoard();
    const auto codeOnly = dir_.Write("code.hex", kCodeOnlyHex);
    const CliRun run = Board({"write", "--memories", "eeprom", codeOnly});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "the file holds no data for data EEPROM")) << run.err;
    EXPECT_TRUE(Contains(run.err, "no memory blocks selected!")) << run.err;
    EXPECT_TRUE(RowsReceived().empty());
}

TEST_F(CliTest, FailedBlockFailsTheWriteUnlessPassedOver) {
    BoardFaults faults;
    faults.refuseRow = 0;
    StartBoard(faults);
    const CliRun stopped = Board({"write", "--run", kSample});
    EXPECT_EQ(stopped.status, 1);
    EXPECT_TRUE(Contains(stopped.err, "Proceed anyway?")) << stopped.err;
    EXPECT_TRUE(Contains(stopped.err, "-> No")) << stopped.err;
    EXPECT_FALSE(board_->UserProgramRunning());

    StartBoard(faults);
    const CliRun passed = Board({"write", "--proceed-on-error", kSample});
    EXPECT_EQ(passed.status, 0) << passed.err;
    EXPECT_TRUE(Contains(passed.err, "program flash failed and was passed over")) << passed.err;
    EXPECT_EQ(RowsReceived(), (std::vector<std::uint32_t>{0x0000, 0x7FFC00}));
}

TEST_F(CliTest, DetectPrintsTheDeviceAndRunStartsTheProgram) {
    StartBoard();
    const CliRun detect = Board({"detect", "--quiet"});
    ASSERT_EQ(detect.status, 0) << detect.err;
    EXPECT_EQ(detect.out,
              "device         dsPIC30F4011\n"
              "id             0x0101\n"
              "firmware       1.4\n"
              "program flash  (0x0000 - 0x7FFE)\n"
              "data EEPROM    (0x7FFC00 - 0x7FFFFE)\n"
              "configuration  (0xF80000 - 0xF8000E)\n"
              "bootloader     (0x7C00 - 0x7FFE)\n");

    const CliRun run = Board({"run"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "Running program"));
    EXPECT_TRUE(UserProgramStarts());
}

TEST_F(CliTest, PortsThatCannotBeOpenedNameTheCause) {
    const CliRun missing = RunCli(
        {"detect", "--port", (dir_.path() / "ttyNONE").string(), "--workdir", kCatalogueDir});
    EXPECT_EQ(missing.status, 3);
    EXPECT_TRUE(Contains(missing.err, "does not exist")) << missing.err;

    const CliRun unlinked = RunCli({"detect", "--port", "COM77", "--workdir", kCatalogueDir});
    EXPECT_EQ(unlinked.status, 3);
    EXPECT_TRUE(Contains(unlinked.err, "COM77 does not exist")) << unlinked.err;

    const CliRun plain = RunCli({"detect", "--port", dir_.Write("plain", "text").string(),
                                 "--workdir", kCatalogueDir});
    EXPECT_EQ(plain.status, 3);
    EXPECT_TRUE(Contains(plain.err, "is not a serial port")) << plain.err;

    StartBoard();
    CSerialPort holder;
    ASSERT_EQ(holder.InitPort(board_->DevicePath().c_str(), 115200, 'N', 8, 1, 9, 512), 1);
    const CliRun busy = Board({"detect"});
    holder.ClosePort();
    EXPECT_EQ(busy.status, 3);
    EXPECT_TRUE(Contains(busy.err, "configuring process failed")) << busy.err;
    EXPECT_TRUE(Contains(busy.err, "is busy")) << busy.err;
}

TEST_F(CliTest, BoardsThatDoNotAnswerOrAreUnknownFailDetection) {
    BoardFaults silent;
    silent.silent = true;
    StartBoard(silent);
    const CliRun quiet = RunCli({"detect", "--port", board_->DevicePath(), "--workdir",
                                 kCatalogueDir, "--detect-timeout", "1"});
    EXPECT_EQ(quiet.status, 4);
    EXPECT_TRUE(Contains(quiet.err, "no bootloader answered")) << quiet.err;
    EXPECT_TRUE(Contains(quiet.out, "Detection&Sync process finished  ")) << quiet.out;

    BoardFaults badVersion;
    badVersion.badVersionAck = true;
    StartBoard(badVersion);
    const CliRun unknown = Board({"detect"});
    EXPECT_EQ(unknown.status, 5);
    EXPECT_TRUE(Contains(unknown.err, "dsPIC identification failed.")) << unknown.err;
}

TEST_F(CliTest, WriteOfABadFileStopsBeforeAnyRow) {
    StartBoard();
    const auto broken = dir_.Write("broken.hex", ":0800000000010400\n");
    const CliRun run = Board({"write", broken});
    EXPECT_EQ(run.status, 6);
    EXPECT_TRUE(Contains(run.out, "Load HEX file")) << run.out;
    EXPECT_TRUE(RowsReceived().empty());
}

TEST_F(CliTest, PortsListsAPublishedBoard) {
    StartBoard({}, 9);
    const CliRun run = RunCli({"ports"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "COM9\t" + board_->DevicePath() + "\t")) << run.out;

    const CliRun detect = RunCli({"detect", "--port", "COM9", "--workdir", kCatalogueDir});
    EXPECT_EQ(detect.status, 0) << detect.err;
}

}  // namespace
