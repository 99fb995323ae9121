// pelorant-board-host, which serves boards to the Windows test programs under Wine, and what
// travels to it: a board's options as arguments, frames as lines, the programs' paths.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

#include "tests/tools/sim/BoardTestSupport.h"
#include "tests/tools/sim/SimProcess.h"
#include "tools/sim/BoardHostWire.h"
#include "tools/sim/SimCommandLine.h"
#include "tools/sim/WinePrefix.h"

using namespace boardtest;

namespace {

TEST(BoardArguments, ParseBackToTheSameBoard) {
    auto faulty = [](auto set) {
        BoardOptions options;
        options.cataloguePath = "C:\\users\\me\\My Boards\\qor_dspiclist.xml";
        options.device = "0x0101";
        set(options);
        return options;
    };
    const BoardOptions rows[] = {
        faulty([](BoardOptions&) {}),
        faulty([](BoardOptions& o) {
            o.firmwareMajor = 2;
            o.firmwareMinor = 255;
            o.lineTiming = true;
            o.baud = 9600;
            o.rowProgramTime = std::chrono::microseconds(2500);
            o.listenWindow = std::chrono::milliseconds(1500);
            o.comNumber = 42;
            o.frameLogPath = "Z:\\tmp\\frames log.txt";
        }),
        faulty([](BoardOptions& o) {
            o.faults.silent = o.faults.noisyProbe = o.faults.noiseOnlyProbe = true;
            o.faults.shortIdentify = o.faults.badVersionAck = o.faults.noSync = true;
            o.faults.noisyIdentify = o.faults.echo = o.faults.vanishAtVersion =
                o.faults.vanishAtSync = true;
        }),
        faulty([](BoardOptions& o) {
            o.faults.refuseRow = 0;
            o.faults.ignoreRow = 1;
            o.faults.cutAfterRow = 2;
            o.faults.strayInRow = 3;
            o.faults.vanishAtProbe = 4;
            o.faults.stallAfterProbes = 5;
            o.faults.stallAfterRows = 6;
        }),
        faulty([](BoardOptions& o) {
            o.resetLine = SerialModemLine::Rts;
            o.resetLineInverted = true;
            o.programSays = "hello, world";
            o.talkEvery = std::chrono::milliseconds(250);
        }),
    };
    for (const BoardOptions& sent : rows) {
        std::string error;
        const auto parsed = board::ParseSimCommandLine(board::BoardArguments(sent), &error);
        ASSERT_TRUE(parsed) << error;
        const BoardOptions& got = parsed->board;
        EXPECT_EQ(got.cataloguePath, sent.cataloguePath);
        EXPECT_EQ(got.device, sent.device);
        EXPECT_EQ(got.firmwareMajor, sent.firmwareMajor);
        EXPECT_EQ(got.firmwareMinor, sent.firmwareMinor);
        EXPECT_EQ(got.lineTiming, sent.lineTiming);
        EXPECT_EQ(got.baud, sent.baud);
        EXPECT_EQ(got.rowProgramTime, sent.rowProgramTime);
        EXPECT_EQ(got.listenWindow, sent.listenWindow);
        EXPECT_EQ(got.comNumber, sent.comNumber);
        EXPECT_EQ(got.frameLogPath, sent.frameLogPath);
        EXPECT_EQ(got.resetLine, sent.resetLine);
        EXPECT_EQ(got.resetLineInverted, sent.resetLineInverted);
        EXPECT_EQ(got.programSays, sent.programSays);
        EXPECT_EQ(got.talkEvery, sent.talkEvery);
        const BoardFaults& f = got.faults;
        const BoardFaults& s = sent.faults;
        EXPECT_EQ(std::make_tuple(f.silent, f.noisyProbe, f.noiseOnlyProbe, f.shortIdentify,
                                  f.badVersionAck, f.noSync, f.noisyIdentify, f.echo,
                                  f.vanishAtVersion, f.vanishAtSync),
                  std::make_tuple(s.silent, s.noisyProbe, s.noiseOnlyProbe, s.shortIdentify,
                                  s.badVersionAck, s.noSync, s.noisyIdentify, s.echo,
                                  s.vanishAtVersion, s.vanishAtSync));
        EXPECT_EQ(std::make_tuple(f.refuseRow, f.ignoreRow, f.cutAfterRow, f.strayInRow,
                                  f.vanishAtProbe, f.stallAfterProbes, f.stallAfterRows),
                  std::make_tuple(s.refuseRow, s.ignoreRow, s.cutAfterRow, s.strayInRow,
                                  s.vanishAtProbe, s.stallAfterProbes, s.stallAfterRows));
    }
}

TEST(BoardHostWire, FrameLinesAndProgramPaths) {
    const ReceivedFrame frame{12.5, {0x02, 0x00, 0xAB, 0xFF}};
    EXPECT_EQ(boardhost::FrameLine(frame), "12.500000 0200ABFF");
    const auto back = boardhost::ParseFrameLine(boardhost::FrameLine(frame));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bytes, frame.bytes);
    EXPECT_DOUBLE_EQ(back->seconds, frame.seconds);
    EXPECT_TRUE(boardhost::ParseFrameLine("0.000001 ")->bytes.empty());
    for (const char* damaged : {"", "12.5", "x 02", "1.0 0", "1.0 0G", "1.0 -1"}) {
        EXPECT_FALSE(boardhost::ParseFrameLine(damaged)) << damaged;
    }

    const boardhost::WinePrefix prefix("/p");
    const std::pair<const char*, const char*> paths[] = {
        {"C:\\users\\me\\Temp\\a.xml", "/p/dosdevices/c:/users/me/Temp/a.xml"},
        {"z:\\work\\b c.hex", "/p/dosdevices/z:/work/b c.hex"},
        {"/work/catalogue/qor_dspiclist.xml", "/work/catalogue/qor_dspiclist.xml"},
        {"\\work\\x.log", "/work/x.log"},
    };
    for (const auto& [program, linux] : paths) EXPECT_EQ(prefix.LinuxPath(program), linux);
}

// A program's end of a connection to the host.
class HostConnection {
public:
    explicit HostConnection(const std::string& address) {
        const auto colon = address.rfind(':');
        sockaddr_in remote{};
        remote.sin_family = AF_INET;
        remote.sin_port = htons(static_cast<std::uint16_t>(std::stoi(address.substr(colon + 1))));
        inet_pton(AF_INET, address.substr(0, colon).c_str(), &remote.sin_addr);
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (connect(fd_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) Close();
    }
    ~HostConnection() { Close(); }
    void Close() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }
    bool Send(const std::string& text) {
        return fd_ >= 0 && send(fd_, text.data(), text.size(), MSG_NOSIGNAL) ==
                               static_cast<ssize_t>(text.size());
    }
    std::string Ask(const std::string& request) {
        if (!Send(request + '\n')) return "(not sent)";
        return ReadLine();
    }
    std::string ReadLine() {
        for (;;) {
            if (auto line = buffer_.Take()) return *line;
            pollfd wait{fd_, POLLIN, 0};
            char chunk[512];
            if (fd_ < 0 || poll(&wait, 1, 10'000) <= 0) return "(no answer)";
            const ssize_t got = read(fd_, chunk, sizeof chunk);
            if (got <= 0) return "(closed)";
            buffer_.Append(chunk, static_cast<std::size_t>(got));
        }
    }
    std::string StartBoard(const BoardOptions& options) {
        std::string request;
        for (const std::string& argument : board::BoardArguments(options)) {
            request += argument + '\n';
        }
        return Send(request + '\n') ? ReadLine() : "(not sent)";
    }

private:
    int fd_ = -1;
    boardhost::LineBuffer buffer_;
};

TEST(BoardHost, ServesBoardsAsComPortsOfThePrefixUntilTheirConnectionsClose) {
    testsupport::TempDir dir;
    const auto prefix = dir.path() / "prefix";
    std::filesystem::create_directories(prefix / "dosdevices");
    std::filesystem::create_directory_symlink("/", prefix / "dosdevices/z:");
    SimProcess host({"--wine-prefix", prefix.string()}, (dir.path() / "host.err").string(),
                    kBoardHostProgram);
    const auto address = host.ReadLine(10s);
    ASSERT_TRUE(address) << testsupport::ReadFile(dir.path() / "host.err");

    BoardOptions options;
    options.cataloguePath = WriteTestCatalogue(dir);
    options.device = "TestPic";
    HostConnection program(*address);
    ASSERT_EQ(program.StartBoard(options), "ok 20");
    const auto com20 = prefix / "dosdevices/com20";
    const std::string device = std::filesystem::read_symlink(com20).string();
    {
        HostLine line(device);
        EXPECT_EQ(line.Exchange({0x55}, 1), Bytes{0x55});
        EXPECT_EQ(line.Exchange(RowFrame(0x0040, RowData(64, 3)), 1), Bytes{0x55});
    }
    EXPECT_EQ(program.Ask("rows"), "ok 1");
    EXPECT_EQ(program.Ask("word 64"),
              "ok " + std::to_string(RowData(64, 3)[0] | RowData(64, 3)[1] << 8));
    EXPECT_EQ(program.Ask("word 16777215"), "ok none");
    EXPECT_EQ(program.Ask("inside 3072"), "ok 1");
    EXPECT_EQ(program.Ask("running"), "ok 0");
    EXPECT_EQ(program.Ask("reset"), "ok");
    ASSERT_EQ(program.Ask("frames"), "ok 2");
    const auto probe = boardhost::ParseFrameLine(program.ReadLine());
    const auto row = boardhost::ParseFrameLine(program.ReadLine());
    ASSERT_TRUE(probe && row);
    EXPECT_EQ(probe->bytes, Bytes{0x55});
    EXPECT_EQ(row->bytes, RowFrame(0x0040, RowData(64, 3)));
    const std::string dump = "Z:" + (dir.path() / "dump.hex").string();
    EXPECT_EQ(program.Ask("dump " + dump), "ok");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "dump.hex"));
    EXPECT_EQ(program.Ask("dump Z:\\nowhere\\dump.hex").rfind("error cannot write", 0), 0u);
    EXPECT_EQ(program.Ask("erase"), "error unknown request \"erase\"");

    // Refusals name their cause and leave the first board alone.
    options.comNumber = 20;
    EXPECT_EQ(HostConnection(*address).StartBoard(options).rfind("error COM20 is taken", 0), 0u);
    options.comNumber = 0;
    options.device = "dsPIC99";
    EXPECT_EQ(HostConnection(*address).StartBoard(options).rfind("error ", 0), 0u);
    EXPECT_EQ(HostConnection(*address).StartBoard(BoardOptions{}).rfind("error bad value", 0), 0u);
    EXPECT_EQ(std::filesystem::read_symlink(com20).string(), device);

    EXPECT_EQ(program.Ask("stop"), "ok");
    EXPECT_FALSE(std::filesystem::is_symlink(com20));
    EXPECT_EQ(program.ReadLine(), "(closed)");

    HostConnection closing(*address);
    options.device = "TestPic";
    ASSERT_EQ(closing.StartBoard(options), "ok 20");
    closing.Close();
    EXPECT_TRUE(Eventually([&] { return !std::filesystem::is_symlink(com20); }));

    HostConnection last(*address);
    ASSERT_EQ(last.StartBoard(options), "ok 20");
    host.Signal(SIGTERM);
    EXPECT_EQ(host.Wait(10s), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(com20)) << "the host removes its ports when stopped";
}

}  // namespace
