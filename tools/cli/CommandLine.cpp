#include "tools/cli/CommandLine.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <utility>

#include "common/OutputFile.h"
#include "tools/cli/PortName.h"

namespace {

// Which options each command takes; the global ones are accepted everywhere.
const std::set<std::string>& OptionsOf(const std::string& command) {
    static const std::set<std::string> kNone;
    static const std::set<std::string> kPorts = {"--json"};
    static const std::set<std::string> kDetect = {"--port", "--baud", "--reset", "--json"};
    static const std::set<std::string> kRun = {"--port", "--baud", "--reset", "--monitor",
                                               "--monitor-baud"};
    static const std::set<std::string> kWrite = {
        "--port", "--baud",  "--memories", "--proceed-on-error",
        "--run",  "--reset", "--monitor",  "--monitor-baud",
        "--json", "--log"};
    static const std::set<std::string> kCheck = {"--device", "--json"};
    static const std::set<std::string> kMonitor = {"--port", "--baud", "--hex", "--timestamps",
                                                   "--for",  "--send", "--eol"};
    if (command == "monitor") return kMonitor;
    if (command == "detect") return kDetect;
    if (command == "run") return kRun;
    if (command == "write") return kWrite;
    if (command == "check") return kCheck;
    if (command == "ports") return kPorts;
    return kNone;
}

bool IsGlobalOption(const std::string& name) {
    return name == "--workdir" || name == "--detect-timeout" || name == "--quiet" ||
           name == "--help" || name == "--version" || name == "--trace" || name == "--verbose";
}

bool TakesValue(const std::string& name) {
    return name == "--port" || name == "--baud" || name == "--memories" || name == "--device" ||
           name == "--workdir" || name == "--detect-timeout" || name == "--trace" ||
           name == "--for" || name == "--eol" || name == "--reset" || name == "--monitor-baud" ||
           name == "--log" || ProductionTakesValue(name);
}

bool IsFlag(const std::string& name) {
    return name == "--proceed-on-error" || name == "--run" || name == "--hex" ||
           name == "--timestamps" || name == "--send" || name == "--monitor" || name == "--json" ||
           IsProductionFlag(name);
}

// Seconds, fractions allowed, above 0 and at most a million.
bool ParseSeconds(const std::string& text, std::chrono::milliseconds& span) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
    char* stop = nullptr;
    const double seconds = std::strtod(text.c_str(), &stop);
    if (*stop != '\0' || !(seconds > 0) || seconds > 1e6) return false;
    span = std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
    return span.count() > 0;
}

bool ParseLineEnd(const std::string& text, std::string& lineEnd) {
    if (text == "cr") lineEnd = "\r";
    if (text == "lf") lineEnd = "\n";
    if (text == "crlf") lineEnd = "\r\n";
    return text == "cr" || text == "lf" || text == "crlf";
}

bool ParsePositive(const std::string& text, unsigned& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    if (text.size() > 9) return false;
    const unsigned long parsed = std::strtoul(text.c_str(), nullptr, 10);
    if (parsed == 0) return false;
    value = static_cast<unsigned>(parsed);
    return true;
}

bool ParseMemories(const std::string& list, std::array<bool, 3>& named, std::string& error) {
    named = {false, false, false};
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = list.find(',', begin);
        const std::string item = list.substr(begin, comma - begin);
        if (item == "code") {
            named[0] = true;
        } else if (item == "eeprom") {
            named[1] = true;
        } else if (item == "config") {
            named[2] = true;
        } else {
            error = "--memories: '" + item + "' is not one of code, eeprom, config";
            return false;
        }
        if (comma == std::string::npos) return true;
        begin = comma + 1;
    }
}

bool StoreValue(const std::string& name, const std::string& value, CliOptions& options,
                std::string& error) {
    if (value.empty()) {
        error = name + " needs a value";
        return false;
    }
    if (ProductionTakesValue(name))
        return StoreProductionValue(name, value, options.production, error);
    if (name == "--port") {
        if (options.port.empty()) options.port = value;
        options.ports.push_back(value);
    } else if (name == "--trace") {
        options.trace = value;
    } else if (name == "--log") {
        options.log = value;
    } else if (name == "--baud") {
        if (!ParsePositive(value, options.baud)) {
            error = "--baud: '" + value + "' is not a baud rate";
            return false;
        }
    } else if (name == "--memories") {
        std::array<bool, 3> named{};
        if (!ParseMemories(value, named, error)) return false;
        options.memories = named;
    } else if (name == "--device") {
        options.device = value;
    } else if (name == "--reset") {
        std::string why;
        options.reset = bootproto::ParseResetSequence(value, &why);
        if (!options.reset) {
            error = "--reset: " + why;
            return false;
        }
    } else if (name == "--monitor-baud") {
        if (!ParsePositive(value, options.monitorBaud)) {
            error = "--monitor-baud: '" + value + "' is not a baud rate";
            return false;
        }
    } else if (name == "--for") {
        std::chrono::milliseconds span{};
        if (!ParseSeconds(value, span)) {
            error = "--for: '" + value + "' is not a number of seconds above 0";
            return false;
        }
        options.monitor.duration = span;
    } else if (name == "--eol") {
        if (!ParseLineEnd(value, options.monitor.lineEnd)) {
            error = "--eol: '" + value + "' is not one of cr, lf, crlf";
            return false;
        }
    } else if (name == "--workdir") {
        options.workdir = value;
    } else if (name == "--detect-timeout") {
        if (!ParsePositive(value, options.detectTimeout)) {
            error = "--detect-timeout: '" + value + "' is not a whole number of seconds above 0";
            return false;
        }
    }
    return true;
}

void StoreFlag(const std::string& name, CliOptions& options) {
    if (name == "--proceed-on-error") options.proceedOnError = true;
    if (name == "--run") options.run = true;
    if (name == "--quiet") options.quiet = true;
    if (name == "--help") options.help = true;
    if (name == "--version") options.version = true;
    if (name == "--verbose") options.verbose = true;
    if (name == "--hex") options.monitor.hex = true;
    if (name == "--timestamps") options.monitor.timestamps = true;
    if (name == "--send") options.monitor.send = true;
    if (name == "--monitor") options.monitorAfterRun = true;
    StoreProductionFlag(name, options.production);
    if (name == "--json") options.json = true;
}

bool CheckRequired(const CliOptions& options, const std::vector<std::string>& operands,
                   std::string& error) {
    const std::string& command = options.command;
    const bool wantsFile = command == "write" || command == "check";
    if (wantsFile && operands.size() != 1) {
        error = command + " needs exactly one HEX file";
        return false;
    }
    if (!wantsFile && !operands.empty()) {
        error = "unexpected argument '" + operands.front() + "'";
        return false;
    }
    if ((command == "detect" || command == "write" || command == "run" || command == "monitor") &&
        options.port.empty()) {
        error = command + " needs --port PORT";
        return false;
    }
    if (command != "write" && options.ports.size() > 1) {
        error = command + " takes one --port (write takes several)";
        return false;
    }
    for (std::size_t i = 0; i < options.ports.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (options.ports[j] == options.ports[i]) {
                error = "--port " + options.ports[i] + " is given twice";
                return false;
            }
            // Two spellings of one device would have the second board reported as held by
            // another program, the tool itself.
            const std::string device = PortDevice(options.ports[i]);
            if (!device.empty() && SameFile(PortDevice(options.ports[j]), device)) {
                error = "--port " + options.ports[j] + " and --port " + options.ports[i] +
                        " name one port, " + device;
                return false;
            }
        }
    }
    if (command == "check" && options.device.empty()) {
        error = "check needs --device ID-OR-NAME";
        return false;
    }
    return true;
}

bool CheckMonitorAfterRun(const std::vector<std::pair<std::string, std::string>>& given,
                          CliOptions& options, std::string& error) {
    const bool speedGiven = std::any_of(given.begin(), given.end(), [](const auto& option) {
        return option.first == "--monitor-baud";
    });
    if (speedGiven && !options.monitorAfterRun) {
        error = "--monitor-baud needs --monitor";
        return false;
    }
    if (!options.monitorAfterRun) return true;
    if (options.command == "write" && !options.run) {
        error = "--monitor needs --run";
        return false;
    }
    if (options.ports.size() > 1) {
        error = "--monitor takes one --port";
        return false;
    }
    if (options.production.repeat) {
        error = "--monitor does not go with --repeat";
        return false;
    }
    if (!speedGiven) options.monitorBaud = options.baud;
    return true;
}

// A write's serial numbers keep their state in a file: the one named, else one beside the log.
bool CheckProductionWrite(CliOptions& options, std::string& error) {
    ProductionOptions& production = options.production;
    if (options.command != "write") return true;
    if (options.json && production.repeat) {
        error = "--json does not go with --repeat (--log keeps a line for every board)";
        return false;
    }
    if (!production.SerialWanted() || !production.serialState.empty()) return true;
    if (options.log.empty()) {
        error =
            "a serial number needs --serial-state FILE or --log FILE (beside which the "
            "next number is kept)";
        return false;
    }
    // The log's folder as the user spelled it, separator and all.
    production.serialState =
        std::filesystem::path(options.log).replace_filename("serial.state").string();
    return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CliOptions& options,
                      std::string& error) {
    std::vector<std::pair<std::string, std::string>> given;  // option name, value
    std::vector<std::string> operands;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string arg = args[i] == "-v" ? "--verbose" : args[i];
        if (arg.rfind("--", 0) != 0 || arg == "--") {
            if (options.command.empty()) {
                options.command = arg;
            } else {
                operands.push_back(arg);
            }
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (!IsGlobalOption(name) && !TakesValue(name) && !IsFlag(name)) {
            error = "unknown option " + name;
            return false;
        }
        if (!TakesValue(name)) {
            if (equals != std::string::npos) {
                error = name + " takes no value";
                return false;
            }
            given.emplace_back(name, "");
            continue;
        }
        if (equals != std::string::npos) {
            given.emplace_back(name, arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            given.emplace_back(name, args[++i]);
        } else {
            error = name + " needs a value";
            return false;
        }
    }

    for (const auto& [name, value] : given) {
        if (name == "--help" || name == "--version") StoreFlag(name, options);
    }
    if (options.help || options.version) return true;

    static const std::set<std::string> kCommands = {"ports", "detect", "write",
                                                    "run",   "check",  "monitor"};
    if (options.command.empty()) {
        error = "no command given";
        return false;
    }
    if (!kCommands.count(options.command)) {
        error = "unknown command '" + options.command + "'";
        return false;
    }
    for (const auto& [name, value] : given) {
        if (!IsGlobalOption(name) && !OptionsOf(options.command).count(name) &&
            !ProductionOptionsOf(options.command).count(name)) {
            error = name + " is not an option of " + options.command;
            return false;
        }
        if (TakesValue(name)) {
            if (!StoreValue(name, value, options, error)) return false;
        } else {
            StoreFlag(name, options);
        }
    }
    if (!CheckRequired(options, operands, error)) return false;
    std::set<std::string> names;
    for (const auto& option : given) names.insert(option.first);
    if (!CheckProductionOptions(names, options.production, error)) return false;
    if (!CheckProductionWrite(options, error)) return false;
    const bool eolGiven = std::any_of(given.begin(), given.end(),
                                      [](const auto& option) { return option.first == "--eol"; });
    if (eolGiven && !options.monitor.send) {
        error = "--eol needs --send";
        return false;
    }
    if (!operands.empty()) options.file = operands.front();
    return CheckMonitorAfterRun(given, options, error);
}

std::string UsageText() {
    return "usage:\n"
           "  pelorant-cli ports  [--json]\n"
           "  pelorant-cli detect --port PORT [--baud RATE] [--reset SEQUENCE] [--json]\n"
           "  pelorant-cli write  --port PORT [--port PORT ...] [--baud RATE] [--memories LIST] "
           "[--proceed-on-error] [--reset SEQUENCE]\n"
           "                     [--run [--monitor [--monitor-baud RATE]]] [--log FILE] [--json]\n"
           "                     [--repeat [--next-batch line|replug]] [SERIAL OPTIONS\n"
           "                     [--serial-state FILE] [--serial-on-fail burn|reuse]] FILE.hex\n"
           "  pelorant-cli run    --port PORT [--baud RATE] [--reset SEQUENCE] "
           "[--monitor [--monitor-baud RATE]]\n"
           "  pelorant-cli check  --device ID-OR-NAME [SERIAL OPTIONS] [--json] FILE.hex\n"
           "  pelorant-cli monitor --port PORT [--baud RATE] [--hex] [--timestamps] "
           "[--for SECONDS]\n"
           "                     [--send [--eol cr|lf|crlf]]\n"
           "global options: --workdir DIR  --detect-timeout SECONDS  --trace FILE  -v  --quiet\n"
           "  --help  --version\n"
           "\n"
           "  ports             list the serial ports: COM number, device path, name\n"
           "  detect            detect and identify the board's dsPIC\n"
           "  write             detect, load FILE.hex against the device and write it; with\n"
           "                    several --port, every board at once, then a table of them\n"
           "  run               detect and start the user program\n"
           "  check             show what a write of FILE.hex would send, without a board\n"
           "  monitor           print what the board sends (the user program after run) until\n"
           "                    Ctrl-C, Ctrl-] on a terminal, --for, or the port going away\n"
           "\n"
           "  --port PORT       COMn or a device path such as /dev/ttyUSB0\n"
           "  --baud RATE       line speed in bit/s (default 115200)\n"
           "  --memories LIST   comma list of code, eeprom, config (default: code and\n"
           "                    eeprom when the file fills them; config only when asked)\n"
           "  --proceed-on-error  go on with the next memory after a failed one (the write\n"
           "                    still fails)\n"
           "  --run             start the user program after a successful write\n"
           "  --reset SEQUENCE  reset the board through the modem lines once the probing has\n"
           "                    started: dtr (DTR asserted 100 ms, then released), rts,\n"
           "                    dtr-inverted (released 100 ms, then asserted), rts-inverted,\n"
           "                    or a list such as dtr=0,rts=1,wait=50,dtr=1 (MS); RTS stays\n"
           "                    asserted unless the sequence drives it\n"
           "  --repeat          write: after each batch (one board per --port) wait for the\n"
           "                    next and write it with the same file; SIGINT ends after the\n"
           "                    batch on the line, with a summary\n"
           "  --next-batch line|replug  what starts the next batch: Enter, or a line on\n"
           "                    standard input (end of input ends the run; default), or\n"
           "                    every port going away and coming back (USB adapters)\n"
           "  --serial START[:STEP]  each board its own number: START, START+STEP, ...\n"
           "  --serial-list FILE  the numbers of FILE instead, one a line, each once\n"
           "  --serial-at ADDRESS  word address in data EEPROM or program flash of the first\n"
           "                    of the number's 16-bit words, least significant first\n"
           "  --serial-words N  words of the number, 1 to 4 (default 1)\n"
           "  --serial-state FILE  where the next number is kept (default: serial.state beside\n"
           "                    the --log file), under a lock and replaced whole before a\n"
           "                    board is written; stations may share it\n"
           "  --serial-on-fail burn|reuse  a failed board's number is never given again\n"
           "                    (burn, default) or given to the next board (reuse)\n"
           "  --monitor         after the run command, monitor the port at once (as monitor)\n"
           "  --monitor-baud RATE  the monitor's speed (default: --baud)\n"
           "  --log FILE        append a JSON line for every board written to FILE (JSON Lines;\n"
           "                    the file is never emptied)\n"
           "  --json            print one JSON document on stdout (ports, detect, check,\n"
           "                    write), the text on stderr; the man page lists its fields\n"
           "  --device ID-OR-NAME  catalogue device, by id (0x0101) or name (dsPIC30F4011)\n"
           "  --hex             monitor: bytes in hex, 16 a line (default: text, bytes that\n"
           "                    are not printable as \\xHH, CR, LF and CR LF end a line)\n"
           "  --timestamps      monitor: each line starts with the seconds since the start\n"
           "  --for SECONDS     monitor: end after this long\n"
           "  --send            monitor: send each line typed, ended by --eol (default cr)\n"
           "  --workdir DIR     folder holding qor_dspiclist.xml (default: setting \"path\")\n"
           "  --detect-timeout SECONDS  how long to wait for the bootloader (default 44)\n"
           "  --trace FILE      write every byte sent and received to FILE, one line per read\n"
           "                    or write: monotonic time in microseconds, port, H>B or B>H,\n"
           "                    the exchange (probe, identify, version, row N at 0x..., ack)\n"
           "  -v, --verbose     the same trace on stderr\n"
           "  --quiet           print only results and errors\n"
           "\n"
           "exit status: 0 success, 1 write or run failed, 2 usage error, 3 port not opened,\n"
           "  4 detection failed, 5 identification failed, 6 HEX file not loaded,\n"
           "  130/143/129/141 stopped by SIGINT/SIGTERM/SIGHUP/SIGPIPE (a write after the row on\n"
           "  the line);\n"
           "  monitor: 0 when ended (SIGINT and SIGTERM included), 1 when the port went away;\n"
           "  several boards: 0 when every board succeeded, else the highest board's status\n";
}
