#include <cstdio>
#include <string>
#include <vector>

#include "control/CauseTexts.h"
#include "control/DetectionTexts.h"
#include "tools/cli/BoardSession.h"
#include "tools/cli/BoardWrite.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ExitStatus.h"
#include "tools/cli/MemorySelection.h"
#include "tools/cli/Monitor.h"
#include "tools/cli/StopSignals.h"
#include "tools/cli/WorkingPath.h"
#include "tools/cli/WriteInputs.h"

namespace {

std::string IdText(const unsigned char (&id)[2]) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X%02X", id[0], id[1]);
    return text;
}

// Firmware version bytes are signed: 0xFF reads -1.
std::string FirmwareText(const unsigned char (&version)[3]) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d", static_cast<signed char>(version[0]),
                  static_cast<signed char>(version[1]));
    return text;
}

void PrintDevice(BoardSession& board) {
    ConsoleOutput& output = board.Output();
    const CBootloaderApp& app = board.App();
    const CDeviceInfo& device = app.m_device;
    char line[128];
    output.Result(std::string("device         ") + device.name);
    output.Result("id             " + IdText(app.m_deviceId));
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
std::string FirstBlockCause(const WriteOutcome& write, unsigned baud) {
    for (const BlockOutcome& block : write.blocks) {
        if (block.result == BlockResult::Ok) continue;
        BlockFailure failure;
        failure.code = block.result;
        failure.row = block.failedRow;
        failure.reply = block.refusal;
        failure.baud = baud;
        return std::string(kMemoryBlocks[block.block].name) + ": " + BlockCause(failure);
    }
    return {};
}

// Where a write stopped by a signal ended.
std::string StoppedWriteText(const WriteOutcome& write) {
    if (write.end != WriteEnd::Stopped || write.blocks.empty()) return "no row was written";
    const BlockOutcome& last = write.blocks.back();
    return std::to_string(last.rowsAcknowledged) + " rows of " + kMemoryBlocks[last.block].name +
           " written, nothing more sent";
}

// Sends the run command and, with --monitor, shows what the program says from its first
// byte on; an exit status.
int RunUserProgram(BoardSession& board, const CliOptions& options) {
    board.Session().Run();
    if (board.Session().LastRun() != RunEnd::Running) {
        return board.Fail(kExitWriteFailed, "running failed", RunCommandCause());
    }
    if (!options.monitorAfterRun) return kExitOk;
    return RunMonitor(board.Port(), options.monitorBaud, MonitorOptions{}, board.Output());
}

int WriteConnected(BoardSession& board, const CliOptions& options,
                   const std::shared_ptr<const HexSource>& source) {
    ProgrammingSession& session = board.Session();
    session.LoadFrom(source);
    if (!session.LastLoad().Loaded()) {
        return board.Fail(kExitHexNotLoaded, {},
                          source->file.path + ": " + session.LastLoad().Cause());
    }
    SelectMemories(options.memories, session, board.App().m_device, board.Output());
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
        case WriteEnd::NoBlocks:
            return board.Because(kExitWriteFailed, "no memory blocks selected!");
        case WriteEnd::NotStarted:
            return board.Because(kExitWriteFailed, "the write could not be started");
        case WriteEnd::None:
        case WriteEnd::Failed:
        case WriteEnd::Stopped: {
            board.Because(kExitWriteFailed, FirstBlockCause(write, options.baud));
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
                        IdText(app.m_deviceId) + "), bootloader firmware " +
                        FirmwareText(app.m_firmwareVersion));
}

}  // namespace

int RunDetectCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app) {
    BoardSession board(options, output, app);
    const int status = board.Connect();
    if (status == kExitOk) PrintDevice(board);
    return status;
}

int RunRunCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app) {
    BoardSession board(options, output, app);
    if (const int status = board.Connect(); status != kExitOk) return status;
    return RunUserProgram(board, options);
}

int RunWriteCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app) {
    // The file and the catalogue are read once, before any board is detected: every board gets
    // these bytes. The file is named as the user named it (a Windows device path must not be
    // made absolute).
    WriteSources sources;
    sources.hex = ReadHexSource(options.file);
    if (const int status = CheckHexFileRead(*sources.hex, output); status != kExitOk) {
        return status;
    }
    std::string error;
    if (!SetWorkingPath(options.workdir, app, error)) {
        output.Error("pelorant-cli: " + error);
        return kExitUsage;
    }
    sources.catalogue = ReadCatalogue(CataloguePath(app), output);
    if (!sources.catalogue) return kExitIdentificationFailed;
    if (options.ports.size() > 1) return WriteBoards(options, output, sources);
    return WriteBoard(options, output, app, sources).status;
}

BoardWriteResult WriteBoard(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
                            const WriteSources& sources) {
    BoardWriteResult result;
    BoardSession board(options, output, app, sources.catalogue);
    result.status = board.Connect();
    if (result.status == kExitOk) {
        if (options.ports.size() <= 1) PrintIdentified(board);
        result.status = WriteConnected(board, options, sources.hex);
    }
    result.rowsWritten = board.Session().LastWrite().rowsAcknowledged;
    result.reason = board.Reason();
    return result;
}
