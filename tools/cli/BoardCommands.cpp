#include <chrono>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "control/CauseTexts.h"
#include "control/DetectionTexts.h"
#include "control/ExitStatus.h"
#include "control/FirmwareText.h"
#include "control/RecordJson.h"
#include "protocol/Frames.h"
#include "tools/cli/BoardSession.h"
#include "tools/cli/BoardWrite.h"
#include "tools/cli/CheckReport.h"
#include "tools/cli/Commands.h"
#include "tools/cli/JsonDocument.h"
#include "tools/cli/MemorySelection.h"
#include "tools/cli/Monitor.h"
#include "tools/cli/SessionRecord.h"
#include "tools/cli/StopSignals.h"
#include "tools/cli/WriteInputs.h"

namespace {

void PrintDevice(BoardSession& board) {
    ConsoleOutput& output = board.Output();
    const CBootloaderApp& app = board.App();
    const CDeviceInfo& device = app.m_device;
    char line[128];
    output.Result(std::string("device         ") + device.name);
    output.Result("id             " +
                  bootproto::IdentifierText(app.m_deviceId[0], app.m_deviceId[1]));
    output.Result("firmware       " + FirmwareText(app.m_firmwareVersion));
    for (const MemoryBlock& block : kMemoryBlocks) {
        const CMemoryImage& image = device.images[block.index];
        if (!image.present) continue;
        std::snprintf(line, sizeof line, "%-14s %s", block.name, MemoryRangeText(image).c_str());
        output.Result(line);
    }
    std::snprintf(line, sizeof line, "%-14s (0x%04X - 0x%04X)", "bootloader", device.bootStart,
                  device.bootEnd);
    output.Result(line);
}

// "program flash", "program flash and data EEPROM", ...
std::string FailedBlocksText(const std::vector<BlockOutcome>& blocks) {
    std::vector<const char*> names;
    for (const BlockOutcome& block : blocks) {
        if (block.result != BlockResult::Ok) names.push_back(kMemoryBlocks[block.block].name);
    }
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// The cause of the first failed block, as its box's cause line said it.
std::string FirstBlockCause(const WriteOutcome& write) {
    for (const BlockOutcome& block : write.blocks) {
        if (block.result != BlockResult::Ok) return block.cause;
    }
    return {};
}

// Sends the run command and, with --monitor, shows what the program says from its first
// byte on; an exit status.
int RunUserProgram(BoardSession& board, const CliOptions& options) {
    board.Session().Run();
    if (const RunEnd end = board.Session().LastRun(); end != RunEnd::Running) {
        return board.Fail(
            kExitWriteFailed, "running failed",
            end == RunEnd::PortLost ? PortLostCause(board.Port().text) : RunCommandCause());
    }
    if (!options.monitorAfterRun) return kExitOk;
    return RunMonitor(board.Port(), options.monitorBaud, MonitorOptions{}, board.Output());
}

// Gives the loaded image the board's number; an exit status. The state file says what follows
// before any row is written.
int NumberBoard(BoardSession& board, const CliOptions& options, const BoardSerials& serials,
                std::optional<std::uint64_t>& given) {
    ProgrammingSession& session = board.Session();
    if (options.memories) {
        const SerialLanding landing = LandSerialNumber(*session.Image(), serials.place);
        if (landing.Lands() && !(*options.memories)[static_cast<std::size_t>(landing.block)]) {
            return board.Fail(kExitUsage, std::string("--memories leaves out ") +
                                              kMemoryBlocks[landing.block].name +
                                              ", where the serial number goes");
        }
    }
    const GivenSerial serial = GiveSerialNumber(session, serials);
    given = serial.number;
    if (!serial.Given()) {
        return board.Fail(serial.placeRefused ? kExitUsage : kExitWriteFailed, serial.failure);
    }
    board.Output().Note(
        SerialLandingText(*serial.number, serials.place, serial.landing, *session.Image()));
    return kExitOk;
}

int WriteConnected(BoardSession& board, const CliOptions& options,
                   const std::shared_ptr<const HexSource>& source, const BoardSerials* serials,
                   std::optional<std::uint64_t>& serial) {
    ProgrammingSession& session = board.Session();
    session.LoadFrom(source);
    if (!session.LastLoad().Loaded()) {
        return board.Fail(kExitHexNotLoaded, {},
                          source->file.path + ": " + session.LastLoad().Cause());
    }
    SelectMemories(options.memories, session, board.App().m_device, board.Output());
    if (serials != nullptr && StopSignal() == 0) {
        if (const int status = NumberBoard(board, options, *serials, serial); status != kExitOk) {
            return status;
        }
    }
    if (StopSignal() == 0) {
        session.Write();
        board.WaitWhileBusy();
    }
    const WriteOutcome& write = session.LastWrite();
    if (const int signal = StopSignal(); signal != 0) {
        return board.Fail(kExitSignalBase + signal,
                          std::string("stopped by ") + StopSignalName(signal) + ": " +
                              StoppedWriteText(write) + "; the port is released");
    }
    switch (write.end) {
        case WriteEnd::Completed:
            break;
        case WriteEnd::SyncFailed:
            return board.Fail(kExitWriteFailed, "synchronization error", SynchronismCause());
        case WriteEnd::PortLost:
            return board.Fail(kExitWriteFailed, "synchronization error",
                              PortLostCause(board.Port().text));
        case WriteEnd::NoBlocks:
            return board.Because(kExitWriteFailed, "no memory blocks selected!");
        case WriteEnd::NotStarted:
            return board.Because(kExitWriteFailed, "the write could not be started");
        case WriteEnd::None:
        case WriteEnd::Failed:
        case WriteEnd::Stopped: {
            board.Because(kExitWriteFailed, FirstBlockCause(write));
            return board.Fail(
                kExitWriteFailed,
                "write failed: " + FailedBlocksText(write.blocks) +
                    (options.proceedOnError ? " not written completely (passed over with "
                                              "--proceed-on-error)"
                                            : " not written completely"));
        }
    }
    return options.run ? RunUserProgram(board, options) : kExitOk;
}

// A single board names what it found before anything is written: an identification that a
// noisy line misled is seen before it does harm.
void PrintIdentified(BoardSession& board) {
    const CBootloaderApp& app = board.App();
    board.Output().Note(std::string("identified ") + app.m_device.name + " (id " +
                        bootproto::IdentifierText(app.m_deviceId[0], app.m_deviceId[1]) +
                        "), bootloader firmware " + FirmwareText(app.m_firmwareVersion));
}

// The record's time, length, status and cause at the end of the board's command.
void Close(BoardRecord& record, std::chrono::steady_clock::time_point started, int status,
           const std::string& cause) {
    record.time = std::chrono::system_clock::now();
    record.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    record.status = status;
    record.cause = cause;
}

}  // namespace

int RunDetectCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app) {
    const auto started = std::chrono::steady_clock::now();
    BoardSession board(options, output, app);
    const int status = board.Connect();
    if (status == kExitOk) PrintDevice(board);
    if (options.json) {
        BoardRecord record = DetectionRecord(options.port, board);
        Close(record, started, status, board.Reason());
        PrintJsonDocument(DetectionJson(record));
    }
    return status;
}

int RunRunCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app) {
    BoardSession board(options, output, app);
    if (const int status = board.Connect(); status != kExitOk) return status;
    return RunUserProgram(board, options);
}

BoardRecord WriteBoard(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
                       const WriteSources& sources, const BoardSerials* serials) {
    const auto started = std::chrono::steady_clock::now();
    BoardSession board(options, output, app, sources.catalogue);
    std::optional<std::uint64_t> serial;
    int status = board.Connect();
    if (status == kExitOk) {
        if (options.ports.size() <= 1 && !options.production.repeat) PrintIdentified(board);
        status = WriteConnected(board, options, sources.hex, serials, serial);
    }
    if (status != kExitOk && serial && serials != nullptr) {
        if (const std::optional<ReturnedSerial> returned = ReturnSerialNumber(*serials, *serial)) {
            if (returned->givenBack) {
                output.Note(returned->text);
            } else {
                output.Error("pelorant-cli: " + returned->text);
            }
        }
    }
    BoardRecord record = SessionRecord(options.port, board, *sources.hex);
    record.serial = serial;
    Close(record, started, status, board.Reason());
    return record;
}
