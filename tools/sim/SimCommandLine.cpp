#include "tools/sim/SimCommandLine.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

#include "tools/sim/ModemLineCommand.h"

namespace board {

namespace {

bool ParseWhole(const std::string& text, long long minimum, long long maximum, long long& value) {
    const char* end = text.data() + text.size();
    auto [stop, status] = std::from_chars(text.data(), end, value);
    return status == std::errc{} && stop == end && value >= minimum && value <= maximum;
}

bool ParseMilliseconds(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* stop = nullptr;
    value = std::strtod(text.c_str(), &stop);
    return *stop == '\0' && std::isfinite(value) && value >= 0 && value <= 3'600'000;
}

bool ParseFirmware(const std::string& text, BoardOptions& board) {
    const auto dot = text.find('.');
    long long major = 0;
    long long minor = 0;
    if (dot == std::string::npos || !ParseWhole(text.substr(0, dot), 0, 255, major) ||
        !ParseWhole(text.substr(dot + 1), 0, 255, minor)) {
        return false;
    }
    board.firmwareMajor = static_cast<std::uint8_t>(major);
    board.firmwareMinor = static_cast<std::uint8_t>(minor);
    return true;
}

// The faults by their command-line names: flags, and faults that take a row or probe count.
std::map<std::string, bool*> FaultFlags(BoardFaults& faults) {
    return {{"silent", &faults.silent},
            {"noisy-probe", &faults.noisyProbe},
            {"noise-only-probe", &faults.noiseOnlyProbe},
            {"short-identify", &faults.shortIdentify},
            {"noisy-identify", &faults.noisyIdentify},
            {"bad-version", &faults.badVersionAck},
            {"no-sync", &faults.noSync},
            {"trailing-probe-reply", &faults.trailingProbeReply},
            {"echo", &faults.echo},
            {"vanish-at-version", &faults.vanishAtVersion},
            {"vanish-at-sync", &faults.vanishAtSync}};
}

std::map<std::string, FaultSet*> FaultCounts(BoardFaults& faults) {
    return {{"refuse-row", &faults.refuseRow},
            {"ignore-row", &faults.ignoreRow},
            {"cut-after-row", &faults.cutAfterRow},
            {"stray-in-row", &faults.strayInRow},
            {"stray-before-answer", &faults.strayBeforeAnswer},
            {"reset-after-row", &faults.resetAfterRow},
            {"vanish-at-probe", &faults.vanishAtProbe},
            {"stall-after-probes", &faults.stallAfterProbes},
            {"stall-after-rows", &faults.stallAfterRows}};
}

bool ParseFault(const std::string& text, BoardFaults& faults) {
    const auto equals = text.find('=');
    const std::string name = text.substr(0, equals);
    const auto flags = FaultFlags(faults);
    const auto rows = FaultCounts(faults);
    if (auto flag = flags.find(name); flag != flags.end() && equals == std::string::npos) {
        *flag->second = true;
        return true;
    }
    long long row = 0;
    if (auto rowFault = rows.find(name); rowFault != rows.end() && equals != std::string::npos &&
                                         ParseWhole(text.substr(equals + 1), 0, 1'000'000, row)) {
        rowFault->second->Add(static_cast<int>(row));
        return true;
    }
    return false;
}

}  // namespace

std::optional<SimCommandLine> ParseSimCommandLine(const std::vector<std::string>& arguments,
                                                  std::string* error) {
    SimCommandLine line;
    line.board.device = "dsPIC30F4011";
    BoardOptions& board = line.board;
    auto fail = [&](const std::string& text) -> std::optional<SimCommandLine> {
        if (error) *error = text;
        return std::nullopt;
    };

    // Options that take a value; each returns false when the value is not acceptable.
    const std::map<std::string, std::function<bool(const std::string&)>> valued = {
        {"--catalogue", [&](const std::string& v) { return !(board.cataloguePath = v).empty(); }},
        {"--device", [&](const std::string& v) { return !(board.device = v).empty(); }},
        {"--com",
         [&](const std::string& v) {
             long long n = 0;
             line.comGiven = ParseWhole(v, 1, 255'000, n);
             board.comNumber = static_cast<int>(n);
             return line.comGiven;
         }},
        {"--baud",
         [&](const std::string& v) {
             long long baud = 0;
             if (!ParseWhole(v, 1, 10'000'000, baud)) return false;
             board.baud = static_cast<unsigned>(baud);
             return true;
         }},
        {"--row-time",
         [&](const std::string& v) {
             double ms = 0;
             if (!ParseMilliseconds(v, ms)) return false;
             board.rowProgramTime = std::chrono::microseconds(std::llround(ms * 1000));
             return true;
         }},
        {"--listen-window",
         [&](const std::string& v) {
             long long ms = 0;
             if (!ParseWhole(v, 0, 3'600'000, ms)) return false;
             board.listenWindow = std::chrono::milliseconds(ms);
             return true;
         }},
        {"--firmware", [&](const std::string& v) { return ParseFirmware(v, board); }},
        {"--fault", [&](const std::string& v) { return ParseFault(v, board.faults); }},
        {"--frame-log", [&](const std::string& v) { return !(board.frameLogPath = v).empty(); }},
        // The option's first name, kept for the scripts that use it.
        {"--log", [&](const std::string& v) { return !(board.frameLogPath = v).empty(); }},
        {"--dump", [&](const std::string& v) { return !(line.dumpPath = v).empty(); }},
        {"--reset-line",
         [&](const std::string& v) {
             if (v != "dtr" && v != "rts") return false;
             board.resetLine = v == "dtr" ? SerialModemLine::Dtr : SerialModemLine::Rts;
             return true;
         }},
        {"--program-says", [&](const std::string& v) { return !(board.programSays = v).empty(); }},
        {"--every",
         [&](const std::string& v) {
             long long ms = 0;
             if (!ParseWhole(v, 1, 3'600'000, ms)) return false;
             board.talkEvery = std::chrono::milliseconds(ms);
             return true;
         }},
    };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        if (name == "--help" || name == "-h") {
            line.showHelp = true;
            continue;
        }
        if (name == "--list") {
            line.listDevices = true;
            continue;
        }
        if (name == "--line-timing") {
            board.lineTiming = true;
            continue;
        }
        if (name == "--inverted") {
            board.resetLineInverted = true;
            continue;
        }
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != name.npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto option = valued.find(name);
        if (option == valued.end()) return fail("unknown option " + arguments[i]);
        if (!value) {
            if (i + 1 == arguments.size()) return fail(name + " needs a value");
            value = arguments[++i];
        }
        if (!option->second(*value)) return fail("bad value for " + name + ": \"" + *value + "\"");
    }
    if (board.resetLineInverted && !board.resetLine) return fail("--inverted needs --reset-line");
    return line;
}

std::vector<std::string> BoardArguments(const BoardOptions& board) {
    std::vector<std::string> arguments = {
        "--catalogue=" + board.cataloguePath,
        "--device=" + board.device,
        "--firmware=" + std::to_string(board.firmwareMajor) + '.' +
            std::to_string(board.firmwareMinor),
        "--baud=" + std::to_string(board.baud),
        "--row-time=" + std::to_string(static_cast<double>(board.rowProgramTime.count()) / 1000.0),
        "--listen-window=" + std::to_string(board.listenWindow.count())};
    if (board.lineTiming) arguments.emplace_back("--line-timing");
    if (board.comNumber != 0) arguments.push_back("--com=" + std::to_string(board.comNumber));
    if (!board.frameLogPath.empty()) arguments.push_back("--frame-log=" + board.frameLogPath);
    if (board.resetLine) {
        arguments.push_back(std::string("--reset-line=") + ModemLineName(*board.resetLine));
        if (board.resetLineInverted) arguments.emplace_back("--inverted");
    }
    if (!board.programSays.empty()) {
        arguments.push_back("--program-says=" + board.programSays);
        arguments.push_back("--every=" + std::to_string(board.talkEvery.count()));
    }
    BoardFaults faults = board.faults;
    for (const auto& [name, flag] : FaultFlags(faults)) {
        if (*flag) arguments.push_back("--fault=" + name);
    }
    for (const auto& [name, counts] : FaultCounts(faults)) {
        for (const int count : counts->Numbers()) {
            arguments.push_back("--fault=" + name + '=' + std::to_string(count));
        }
    }
    return arguments;
}

std::string SimHelpText() {
    return R"(Usage: pelorant-sim [OPTION]...
A virtual dsPIC board: the chip's resident serial bootloader on a pseudo-terminal, for
trying Pelorant and pelorant-cli without hardware, checking a setup, or reproducing a
problem. The board is published as a COM number in the port directory of the serial
library, and the first line on standard output is "COM<n> <device path>".

Options:
  --catalogue PATH     device catalogue (default: $PELORANT_CATALOGUE, else the installed
                       qor_dspiclist.xml)
  --device ID|NAME     device to play, by id ("0x0101") or name (default dsPIC30F4011)
  --list               list the devices of the catalogue and exit
  --com N              publish as COM<N> (default: the first free number from 100 up);
                       a link of another live device is never replaced
  --firmware MAJOR.MINOR  firmware version to report (default 1.4)
  --baud RATE          line speed used by --line-timing (default 115200)
  --line-timing        every byte in or out takes 10 bit times at RATE; without it a
                       reply still waits until its frame could have come in at the
                       speed the host set on the line (no real board answers sooner)
                       and each row takes the programming time before its reply
  --row-time MS        programming time of a row (default 2)
  --listen-window MS   after a reset, wait this long for a probe, then start the user
                       program and go silent (default 0: wait for ever)
  --fault NAME[=ROW]   play a fault (repeatable: every occurrence counts, so
                       --fault refuse-row=1 --fault refuse-row=10 refuses both rows):
                         silent            answer nothing at all
                         noisy-probe       answer the probe with 8A 00 55 F3
                         noise-only-probe  answer the probe with 8A 00 AA F3 (never 55)
                         short-identify    identification reply of 3 bytes
                         noisy-identify    send 13 01 before the identification reply
                         bad-version       version reply whose third byte is AA, not 55
                         no-sync           leave the synchronism check unanswered
                         trailing-probe-reply  send a second 55 125 ms after each
                                           probe reply
                         echo              send every byte received straight back, before
                                           any answer (a half-duplex adapter); with
                                           silent: a loop-back plug
                         vanish-at-version the port vanishes when the version request
                                           arrives
                         vanish-at-sync    the port vanishes when a synchronism check
                                           arrives
                         refuse-row=K      refuse row frame K with EE
                         ignore-row=K      leave row frame K unanswered (not programmed)
                         cut-after-row=K   close the line after answering row frame K
                         stray-in-row=K    send a stray 55 while row frame K comes in,
                                           then refuse the row with EE
                         stray-before-answer=K  answer row frame K with a stray 55
                                           where its acknowledgement would come,
                                           then refuse it with EE 125 ms later
                         reset-after-row=K the board resets after acknowledging row
                                           frame K: its fresh bootloader drops every byte
                                           until a 55, which it answers as a probe, even
                                           inside a row frame
                         vanish-at-probe=K the port vanishes when probe K arrives
                         stall-after-probes=N  take no byte from the host after
                                           answering N probes (0: from the start)
                         stall-after-rows=N    the same after acknowledging N row
                                           frames: the host's writes come out short
                       Row frames and probes count from 0 over the board's whole life.
  --frame-log FILE     write every frame received and every reply to FILE, one line
                       each, in the format of pelorant-cli --trace (--log FILE: the same)
  --dump FILE          write the memory as Intel HEX to FILE at exit and on "dump"
  --reset-line dtr|rts the board's reset is wired to this modem line: asserting it holds
                       the chip in reset, releasing it starts the bootloader (a pulse
                       resets the board); the line starts at rest
  --inverted           with --reset-line: releasing the line holds the chip in reset
  --program-says TEXT  the user program sends TEXT and CR LF every --every MS while it
                       runs (after the run command or the listen window), until reset
  --every MS           the user program's period with --program-says (default 1000)
  -h, --help           show this help

Replies: 55 probe; 00 <id high> <id low> 55 identification (request 01 FF 00 00);
<major> <minor> 55 version (03); FF synchronism check (33); nothing for run (0F), after
which the user program runs and the board answers nothing until reset (the program says
its --program-says text meanwhile). A row frame (02) is acknowledged with 55 after programming, or refused with:
  E1 bad checksum      E2 length byte is not 2 x row units + 1 (or no rows)
  E3 row not wholly inside one memory   E4 address not on a row boundary
  E5 row overlaps the bootloader        E6 identification of another address
A frame whose bytes stop arriving for 250 ms (or 100 bit times) is dropped. Unknown
command bytes are logged and ignored.

Memory: all words start erased (FFFF); the bootloader range holds the instruction B0B007
and is never overwritten. The dump holds only word pairs that are not both erased, as
4-byte groups lo hi lo hi at byte address 2 x word address.

Frame log: "<microseconds> <port> <direction> <exchange>: <bytes in hex>", e.g.
"81234567012 COM100 H>B identify: 01 FF 00 00"; the microseconds are the monotonic clock
that pelorant-cli --trace uses too, so the two files merge with sort -n. H>B lines are
the frames received (row frames in full, numbered from 0 over the board's life; a frame
dropped when incomplete with the bytes that came), B>H lines the replies.

Reset: send SIGUSR1 or write "reset" on standard input. "dump" on standard input writes
the --dump file. "dtr=1", "dtr=0", "rts=1" and "rts=0" on standard input drive the modem
lines as a host's port would: a pseudo-terminal carries none of its own. Each is said back
on standard output once the board has the level. End of standard input does not stop the
board; SIGINT or SIGTERM does, removing the COM link.
)";
}

}  // namespace board
