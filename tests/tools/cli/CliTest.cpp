#include "tests/tools/cli/CliTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "catalogue/Catalogue.h"
#include "common/Product.h"
#include "image/HexLoader.h"
#include "serial/CSerialPort.h"
#include "tests/support/TestSupport.h"
#include "tests/support/Wine.h"

using namespace benchtest;

namespace {

const char* const kCodeOnlyHex = ":020000040000FA\n:080000000001040000000000F3\n:00000001FF\n";

// What `check` says a write sends for one memory: its row size and the row starts.
struct PlannedMemory {
    std::uint32_t rowUnits = 0;
    std::vector<std::uint32_t> rows;
};

// The memory a header line of the report names ("program flash (...), rows of 64 address
// units"), with its row size. Read by hand, as is the rest of the report: GCC 12 warns inside
// <regex>'s std::function under -fsanitize=address, which stops a sanitizer build with -Werror.
std::optional<std::pair<std::string, std::uint32_t>> MemoryHeader(const std::string& line) {
    for (const char* name : {"program flash", "data EEPROM", "configuration"}) {
        if (line.rfind(std::string(name) + " ", 0) != 0) continue;
        const std::size_t rowsOf = line.find("rows of ");
        if (rowsOf == std::string::npos) return std::nullopt;
        return std::make_pair(std::string(name),
                              static_cast<std::uint32_t>(std::stoul(line.substr(rowsOf + 8))));
    }
    return std::nullopt;
}

std::map<std::string, PlannedMemory> ParseCheck(const std::string& report) {
    std::map<std::string, PlannedMemory> plan;
    std::istringstream lines(report);
    std::string line;
    std::string memory;
    while (std::getline(lines, line)) {
        if (const auto header = MemoryHeader(line)) {
            memory = header->first;
            plan[memory].rowUnits = header->second;
        } else if (line.rfind("  send ", 0) == 0 && !memory.empty()) {
            PlannedMemory& planned = plan[memory];
            std::istringstream words(line);
            std::string word;
            while (words >> word) {
                // A span of rows: 0xFIRST-0xLAST.
                const std::size_t dash = word.find("-0x");
                if (word.rfind("0x", 0) != 0 || dash == std::string::npos) continue;
                const auto first =
                    static_cast<std::uint32_t>(std::stoul(word.substr(0, dash), nullptr, 16));
                const auto last =
                    static_cast<std::uint32_t>(std::stoul(word.substr(dash + 1), nullptr, 16));
                for (std::uint32_t row = first; row < last; row += planned.rowUnits) {
                    planned.rows.push_back(row);
                }
            }
        }
    }
    return plan;
}

std::string LastLine(const std::string& text) {
    const std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
    return trimmed.substr(trimmed.rfind('\n') + 1);
}

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

    // Data inside the bootloader alone: program flash is left alone, no row 0 is made, and the
    // load's warning is printed.
    const std::string inBootloader =
        dir_.Write("boot.hex", ":020000040000FA\n:04F80000AABBCC00D3\n:00000001FF\n").string();
    const CliRun warned =
        RunCli({"check", "--device", "0x0101", "--workdir", kCatalogueDir, inBootloader});
    ASSERT_EQ(warned.status, 0) << warned.err;
    EXPECT_TRUE(Contains(warned.out, "  send                 0 rows\n")) << warned.out;
    EXPECT_TRUE(Contains(warned.out, "not written: the file holds no data for it"));
    EXPECT_TRUE(Contains(warned.out, "row 0 (the jump into the bootloader) not made"));
    EXPECT_TRUE(Contains(warned.out, "warnings of the load:\nwarning: bootloader conflict"));
}

TEST_F(CliTest, CheckFindsTheWorkingPathInTheSettings) {
    // Windows keeps the settings in the registry, outside the test's directory: the value the
    // test found is put back (an empty path is no path).
    char previous[kSettingTextBytes] = {};
    ReadSettingString(previous, product::kSettingsKey, "path");
    ASSERT_EQ(WriteSettingString(kCatalogueDir.c_str(), product::kSettingsKey, "path"), 0);
    EXPECT_EQ(RunCli({"check", "--device", "dsPIC30F4011", kSample}).status, 0);
    EXPECT_EQ(WriteSettingString(previous, product::kSettingsKey, "path"), 0);
}

TEST_F(CliTest, CheckRefusesUnknownDevicesAndBadFiles) {
    const CliRun unknown =
        RunCli({"check", "--device", "dsPIC99", "--workdir", kCatalogueDir, kSample});
    EXPECT_EQ(unknown.status, 5);
    EXPECT_TRUE(Contains(unknown.err, "dsPIC30F4011")) << unknown.err;

    const std::string broken =
        dir_.Write("broken.hex", ":020000040000FA\n:0800000000010400\n").string();
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
    ASSERT_EQ(LookupDevice(kCatalogueDir + "/qor_dspiclist.xml", "0x0101", device, name),
              CatalogueLookup::Found);
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
    const std::string codeOnly = dir_.Write("code.hex", kCodeOnlyHex).string();
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

    // Passed over, the rest is written, but the write as a whole failed and nothing runs.
    StartBoard(faults);
    const CliRun passed = Board({"write", "--proceed-on-error", "--run", kSample});
    EXPECT_EQ(passed.status, 1) << passed.err;
    EXPECT_EQ(LastLine(passed.err),
              "pelorant-cli: write failed: program flash not written completely (passed over "
              "with --proceed-on-error)");
    EXPECT_TRUE(Contains(passed.err, "program flash: the board refused the row at 0x000000"))
        << passed.err;
    EXPECT_EQ(RowsReceived(), (std::vector<std::uint32_t>{0x0000, 0x7FFC00}));
    EXPECT_FALSE(board_->UserProgramRunning());
}

// A byte nobody asked for is never taken for an acknowledgement nor purged unseen.
TEST_F(CliTest, StrayByteMidFrameFailsTheRowItFollows) {
    BoardFaults faults;
    faults.strayInRow = 1;
    StartBoard(faults);
    const CliRun run = Board({"write", "--memories", "code", kSample});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(Contains(run.err, "program flash: a byte no exchange asked for came in"))
        << run.err;
    EXPECT_EQ(RowsReceived(), (std::vector<std::uint32_t>{0x0000, 0x0100}));
}

TEST_F(CliTest, APortThatGoesAwayEndsDetectionAtOnce) {
    BoardFaults vanishing;
    vanishing.vanishAtProbe = 0;
    StartBoard(vanishing);
    const std::string port = Port();
    const CliRun detect = RunCli({"detect", "--port", port, "--workdir", kCatalogueDir});
    EXPECT_EQ(detect.status, 4) << detect.err;
    EXPECT_TRUE(Contains(detect.err, "the port " + port + " went away")) << detect.err;
    EXPECT_FALSE(Contains(detect.err, "within 44 s")) << detect.err;
}

TEST_F(CliTest, APortThatGoesAwayEndsTheWriteAtOnce) {
    BoardFaults cut;
    cut.cutAfterRow = 1;
    StartBoard(cut);
    const CliRun write = Board({"write", kSample});
    EXPECT_EQ(write.status, 1) << write.err;
    EXPECT_TRUE(Contains(write.err, "program flash: the port went away")) << write.err;
}

TEST_F(CliTest, MissingInputsFailBeforeThePortIsOpened) {
    StartBoard();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string said;
    };
    const std::string missingHex = (dir_.path() / "missing.hex").string();
    const testsupport::SpecialFiles special(dir_.path());
    const std::vector<Case> cases = {
        {{"write", missingHex, "--workdir", kCatalogueDir}, 6, "cannot read the HEX file"},
        {{"write", dir_.path().string(), "--workdir", kCatalogueDir},
         6,
         "cannot read the HEX file"},
        // A pipe without a writer is refused at once, not waited on.
        {{"write", special.pipe, "--workdir", kCatalogueDir},
         6,
         special.pipe + " is not a regular file"},
        {{"write", kSample, "--workdir", dir_.path().string()},
         5,
         "cannot read the device catalogue " + dir_.path().string() + "/qor_dspiclist.xml"},
        {{"detect", "--workdir", dir_.path().string()}, 5, "cannot read the device catalogue"},
    };
    for (const Case& entry : cases) {
        std::vector<std::string> args = entry.args;
        args.insert(args.end(), {"--port", Port()});
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, entry.status) << run.err;
        EXPECT_TRUE(Contains(run.err, entry.said)) << run.err;
        EXPECT_FALSE(Contains(run.err, "lists it")) << run.err;
    }
    EXPECT_TRUE(board_->Frames().empty()) << "no probe went out";
}

// After each failure's box, one line says what happened in the user's terms; a good board
// gets none.
TEST_F(CliTest, FailuresAreFollowedByTheirCause) {
    const std::string catalogue = testsupport::ReadFile(kCatalogueDir + "/qor_dspiclist.xml");
    std::string renamed = catalogue;
    renamed.replace(renamed.find("id=\"0x0101\""), 11, "id=\"0x7E7E\"");
    const std::string withoutBoard = (dir_.path() / "without").string();
    dir_.Write("without/qor_dspiclist.xml", renamed);
    const std::string reversed = (dir_.path() / "reversed").string();
    dir_.Write("reversed/qor_dspiclist.xml",
               "<list><device id=\"0x0101\" name=\"dsPIC30F4011\" rowsxpage=\"1\">"
               "<memcode startaddress=\"0x0\" endaddress=\"0x7FFE\" instructionxrow=\"32\">"
               "<bootloader startaddress=\"0x7FFE\" endaddress=\"0x7C00\"/></memcode>"
               "<memdata startaddress=\"0x7FFC00\" endaddress=\"0x7FFFFE\" "
               "instructionxrow=\"16\"/></device></list>");

    struct Row {
        const char* what;
        BoardFaults faults;
        std::vector<std::string> args;
        int status;
        std::string cause;  // empty: no cause line at all; <port> stands for the board's port
    };
    const Row rows[] = {
        {"good board", {}, {"write", kSample}, 0, ""},
        {"refused row",
         {.refuseRow = 0},
         {"write", kSample},
         1,
         "Proceed anyway?\n    cause: program flash: the board refused the row at 0x000000 "
         "(byte 0xEE)\n"},
        {"unanswered row",
         {.ignoreRow = 1},
         {"write", kSample},
         1,
         "Proceed anyway?\n    cause: program flash: no acknowledgement within 200 ms for the "
         "row at 0x000100 (board reset? baud rate?)\n"},
        {"stray byte",
         {.strayInRow = 1},
         {"write", kSample},
         1,
         "    cause: program flash: a byte no exchange asked for came in, so the "
         "acknowledgement of the row at 0x000100 cannot be trusted"},
        {"line cut",
         {.cutAfterRow = 0},
         {"write", kSample},
         1,
         "    cause: program flash: the port went away (adapter unplugged or line hung up)"},
        {"no synchronism",
         {.noSync = true},
         {"write", kSample},
         1,
         "pelorant-cli: synchronization error\n    cause: the board did not answer the "
         "synchronism check"},
        {"port gone at the synchronism check",
         {.vanishAtSync = true},
         {"write", kSample},
         1,
         "pelorant-cli: synchronization error\n    cause: the port <port> went away (adapter "
         "unplugged or line hung up)\n"},
        {"port gone at the run's synchronism check",
         {.vanishAtSync = true},
         {"run"},
         1,
         "pelorant-cli: running failed\n    cause: the port <port> went away (adapter unplugged "
         "or line hung up)\n"},
        {"port gone at the version request",
         {.vanishAtVersion = true},
         {"detect"},
         5,
         "    cause: the port went away (adapter unplugged or line hung up) while the board was "
         "asked for its firmware version\n"},
        {"adapter that echoes",
         {.echo = true},
         {"detect"},
         4,
         "pelorant-cli: detection failed: the identification request came back exactly as "
         "sent: the adapter on <port> echoes what it sends"},
        {"loop-back plug",
         {.silent = true, .echo = true},
         {"write", kSample},
         4,
         "pelorant-cli: detection failed: the identification request came back exactly as "
         "sent: the adapter on <port> echoes what it sends"},
        {"silent board",
         {.silent = true},
         {"write", kSample},
         4,
         "pelorant-cli: detection failed: no bootloader answered on "},
        {"no version",
         {.badVersionAck = true},
         {"detect"},
         5,
         "    cause: the board was found but did not report its firmware version"},
        {"unknown id",
         {},
         {"write", "--workdir", withoutBoard, kSample},
         5,
         "    cause: the board reports the id 0x0101, which " + withoutBoard +
             "/qor_dspiclist.xml does not list"},
        {"refused catalogue entry",
         {},
         {"write", "--workdir", reversed, kSample},
         5,
         "    cause: " + reversed +
             "/qor_dspiclist.xml cannot be read as a device catalogue (the bootloader range "
             "0x7FFE - 0x7C00 is reversed)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        StartBoard(row.faults);
        std::vector<std::string> args = row.args;
        args.insert(args.end(), {"--port", Port(), "--detect-timeout", "2"});
        if (std::find(args.begin(), args.end(), "--workdir") == args.end()) {
            args.insert(args.end(), {"--workdir", kCatalogueDir});
        }
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, row.status) << run.err;
        std::string cause = row.cause;
        if (const std::size_t at = cause.find("<port>"); at != std::string::npos) {
            cause.replace(at, 6, Port());
        }
        if (cause.empty()) {
            EXPECT_FALSE(Contains(run.err, "cause:")) << run.err;
        } else {
            EXPECT_TRUE(Contains(run.err, cause)) << run.err;
        }
    }
}

// A write to one board names the device it identified before any row goes out: an id that
// noise on the line shifted (13 01 before the reply reads 0x0101 as 0x0100) is seen in time.
TEST_F(CliTest, SingleBoardWriteNamesTheIdentifiedDeviceFirst) {
    struct Row {
        const char* what;
        BoardFaults faults;
        const char* said;
    };
    const Row rows[] = {
        {"clean reply", {}, "identified dsPIC30F4011 (id 0x0101), bootloader firmware 1.4\n"},
        {"noise before the reply",
         {.noisyIdentify = true},
         "identified dsPIC30F4012 (id 0x0100), bootloader firmware 1.4\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        StartBoard(row.faults);
        const CliRun run = Board({"write", "--memories", "code", kSample});
        EXPECT_TRUE(Contains(run.err, row.said)) << run.err;
    }
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
    // POSIX finds no link COM77; Windows names the device it tried, \\.\COM77.
    EXPECT_TRUE(Contains(unlinked.err, "COM77")) << unlinked.err;
    EXPECT_TRUE(Contains(unlinked.err, " does not exist")) << unlinked.err;

    const CliRun plain = RunCli(
        {"detect", "--port", dir_.Write("plain", "text").string(), "--workdir", kCatalogueDir});
    EXPECT_EQ(plain.status, 3);
    EXPECT_TRUE(Contains(plain.err, "is not a serial port")) << plain.err;
}

TEST_F(CliTest, APortHeldByAnotherProgramIsBusy) {
    // Windows' serial driver refuses a second open; Wine's serial devices ignore the share mode.
    if (testsupport::RunningUnderWine()) GTEST_SKIP() << "Wine lets a second handle open a port";
    StartBoard();
    CSerialPort holder;
    ASSERT_EQ(holder.InitPort(board_->DevicePath().c_str(), 115200, 'N', 8, 1, 9, 512), 1);
    const CliRun busy = Board({"detect"});
    holder.ClosePort();
    EXPECT_EQ(busy.status, 3);
    EXPECT_TRUE(Contains(busy.err, "configuring process failed")) << busy.err;
    EXPECT_TRUE(Contains(busy.err, "is busy: " + HolderOfPortHeldHere())) << busy.err;
}

TEST_F(CliTest, BoardsThatDoNotAnswerOrAreUnknownFailDetection) {
    BoardFaults silent;
    silent.silent = true;
    StartBoard(silent);
    const CliRun quiet =
        RunCli({"detect", "--port", Port(), "--workdir", kCatalogueDir, "--detect-timeout", "1"});
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
    const std::string broken = dir_.Write("broken.hex", ":0800000000010400\n").string();
    const CliRun run = Board({"write", broken});
    EXPECT_EQ(run.status, 6);
    EXPECT_TRUE(Contains(run.out, "Load HEX file")) << run.out;
    EXPECT_TRUE(RowsReceived().empty());
}

TEST_F(CliTest, PortsListsAPublishedBoard) {
    // Wine lists the ports its mount manager found when it started; the test's board is
    // mapped later. scripts/test-windows.sh checks the listing with a port mapped beforehand.
    if (testsupport::RunningUnderWine())
        GTEST_SKIP() << "Wine lists only the ports mapped before it started";
    StartBoard({}, 9);
    const CliRun run = RunCli({"ports"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "COM9\t" + board_->DevicePath() + "\t")) << run.out;
}

TEST_F(CliTest, APublishedBoardIsFoundByItsComNumber) {
    StartBoard({}, 9);
    const CliRun detect = RunCli({"detect", "--port", "COM9", "--workdir", kCatalogueDir});
    EXPECT_EQ(detect.status, 0) << detect.err;
}

// Files a naive reader takes for firmware: each is refused with exit status 6 and the line
// and reason as the cause, and nothing is written.
TEST_F(CliTest, CheckAndWriteRefuseEveryDamagedFileWithItsCause) {
    const testsupport::SpecialFiles special(dir_.path());
    const struct {
        const char* name;
        std::string file;  // contents, or the path of a special file when `special` is set
        std::string cause;
        bool special = false;
    } cases[] = {
        {"0-byte file", "", "the file holds no record"},
        {"only the end-of-file record", ":00000001FF\n", "the file holds no data record"},
        {"a device", special.device, special.device + " is not a regular file", true},
        {"cut after a whole line", ":020000040000FA\n:0400000001020304F2\n",
         "line 3: the file ends without its end-of-file record (cut short)"},
        {"wrong checksum", ":0400000001020304F3\n:00000001FF\n",
         "line 1: checksum 0xF3, expected 0xF2"},
        {"non-hex byte count", ":1G0000000102\n:0400000001020304F2\n:00000001FF\n",
         "line 1: 'G' is not a hex digit"},
        {"odd number of digits", ":0400000001020304F\n:00000001FF\n",
         "line 1: an odd number of hex digits (17)"},
        {"count above the data", ":08000000000104000000\n:00000001FF\n",
         "line 1: byte count 0x08 announces 8 data bytes, the record holds 5"},
    };
    StartBoard();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.special ? c.file : dir_.Write("bad.hex", c.file).string();
        const CliRun check =
            RunCli({"check", "--device", "dsPIC30F4011", "--workdir", kCatalogueDir, path});
        EXPECT_EQ(check.status, 6);
        EXPECT_TRUE(Contains(check.err, "pelorant-cli: " + path + ": " + c.cause)) << check.err;
        const CliRun write = Board({"write", path});
        EXPECT_EQ(write.status, 6);
        EXPECT_TRUE(Contains(write.err, c.cause)) << write.err;
    }
    EXPECT_TRUE(RowsReceived().empty());
}

// A catalogue that would steer the write is refused at identification: no row goes out.
TEST_F(CliTest, HostileCataloguesStopTheWriteBeforeAnyRow) {
    const std::string code =
        "<memcode startaddress=\"0x0\" endaddress=\"0x7FFE\" instructionxrow=\"32\">";
    const std::string tail =
        "</memcode><memdata startaddress=\"0x7FFC00\" endaddress=\"0x7FFFFE\" "
        "instructionxrow=\"16\"/></device></list>";
    const std::string head = "<list><device id=\"0x0101\" name=\"dsPIC30F4011\" rowsxpage=\"1\">";
    const struct {
        const char* name;
        std::string catalogue;
        std::string cause;
    } cases[] = {
        {"bootloader reversed",
         head + code + "<bootloader startaddress=\"0x7FFE\" endaddress=\"0x7C00\"/>" + tail,
         "the bootloader range 0x7FFE - 0x7C00 is reversed"},
        {"bootloader without attributes", head + code + "<bootloader/>" + tail,
         "the bootloader lacks its startaddress"},
        {"namespace prefix on the root", "<a:l xmlns:a=\"u\"/>", "no device '0x0101'"},
    };
    StartBoard();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir workdir;
        workdir.Write("qor_dspiclist.xml", c.catalogue);
        const CliRun check =
            RunCli({"check", "--device", "0x0101", "--workdir", workdir.path().string(), kSample});
        EXPECT_EQ(check.status, 5);
        EXPECT_TRUE(Contains(check.err, c.cause)) << check.err;
        const CliRun write = RunCli({"write", "--port", Port(), "--workdir",
                                     workdir.path().string(), "--detect-timeout", "2", kSample});
        EXPECT_EQ(write.status, 5) << write.err;
    }
    EXPECT_TRUE(RowsReceived().empty());
}

}  // namespace
