#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "protocol/RowPlan.h"
#include "tools/cli/BoardWrite.h"
#include "tools/cli/CauseLines.h"
#include "tools/cli/Commands.h"
#include "tools/cli/EventLoop.h"
#include "tools/cli/ExitStatus.h"
#include "tools/cli/MemoryNames.h"
#include "tools/cli/MemorySelection.h"
#include "tools/cli/Session.h"
#include "tools/cli/StopSignals.h"
#include "tools/cli/WriteInputs.h"
#include "tools/cli/WriteProgress.h"

namespace {

void PrintDevice(Session& session) {
    ConsoleOutput& output = session.Output();
    CDeviceInfo& device = session.App().m_device;
    const unsigned char* id = session.App().m_deviceId;
    char line[128];
    output.Result(std::string("device         ") + device.name);
    std::snprintf(line, sizeof line, "id             0x%02X%02X", id[0], id[1]);
    output.Result(line);
    output.Result("firmware       " + session.Window().FirmwareLabel());
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        if (!device.images[block].present) continue;
        std::snprintf(line, sizeof line, "%-14s %s", kMemoryNames[block],
                      session.Window().RangeLabel(block).c_str());
        output.Result(line);
    }
    std::snprintf(line, sizeof line, "%-14s (0x%04X - 0x%04X)", "bootloader", device.bootStart,
                  device.bootEnd);
    output.Result(line);
}

// What each checked block will send, from the same plan the row writer follows.
std::array<BlockLoad, 3> PlanSelectedBlocks(Session& session) {
    std::array<BlockLoad, 3> loads{};
    CDeviceInfo& device = session.App().m_device;
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        if (!session.Window().BlockCheckVisible(block) || !session.Window().BlockChecked(block)) {
            continue;
        }
        CMemoryImage& image = device.images[block];
        const int rowUnits = 2 * image.instructionsPerRow;
        const RowPlan plan = PlanRows(image, rowUnits, device.bootStart, device.bootEnd);
        loads[block].rows = plan.rowSizeValid ? plan.rows.size() : 0;
        if (plan.rowSizeValid) loads[block].addresses = plan.rows;
        loads[block].bytesPerRow = static_cast<std::size_t>(2 * rowUnits + 6 + 1);
    }
    return loads;
}

// "program flash", "program flash and data EEPROM", ...
std::string FailedBlocksText(const std::vector<int>& blocks) {
    std::string text;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (i > 0) text += i + 1 == blocks.size() ? " and " : ", ";
        text += kMemoryNames[blocks[i]];
    }
    return text;
}

// Where a write stopped by a signal ended.
std::string StoppedWriteText(const CProgrammingControl& control) {
    const int block = control.CurrentBlock();
    if (block < kBlockCode || block > kBlockConfig) return "no row was written";
    return std::to_string(control.Job().rowsAcknowledged.load()) + " rows of " +
           kMemoryNames[block] + " written, nothing more sent";
}

// The status line a failed synchronism check leaves, followed by its cause.
constexpr const char* kSynchronismFailed = "synchronization error";

bool SynchronismFailed(Session& session) {
    if (session.Window().StatusText() != kSynchronismFailed) return false;
    session.Output().Error(std::string("pelorant-cli: ") + kSynchronismFailed);
    session.Output().Error("    cause: " + SynchronismCause());
    return true;
}

// Sends the run command; false when it was not sent.
bool RunUserProgram(Session& session) {
    session.Control().OnRunCommand();
    if (!session.Control().PortOpen()) return true;
    if (session.Window().StatusText() == "running failed") {
        session.Output().Error("pelorant-cli: running failed");
        session.Output().Error("    cause: " + RunCommandCause());
    }
    return false;
}

}  // namespace

int RunDetectCommand(const CliOptions& options, ConsoleOutput& output) {
    Session session(options, output);
    const int status = session.Connect();
    if (status == kExitOk) PrintDevice(session);
    return status;
}

int RunRunCommand(const CliOptions& options, ConsoleOutput& output) {
    Session session(options, output);
    if (const int status = session.Connect(); status != kExitOk) return status;
    return RunUserProgram(session) ? kExitOk : kExitWriteFailed;
}

int RunWriteCommand(const CliOptions& options, ConsoleOutput& output) {
    if (const int status = CheckHexFileReadable(options.file, output); status != kExitOk) {
        return status;
    }
    if (options.ports.size() > 1) return WriteBoards(options, output);
    std::size_t rowsWritten = 0;
    return WriteBoard(options, output, theApp(), rowsWritten);
}

int WriteBoard(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
               std::size_t& rowsWritten) {
    Session session(options, output, app);
    if (const int status = session.Connect(); status != kExitOk) return status;
    CProgrammingControl& control = session.Control();

    std::error_code ignored;
    const std::filesystem::path file = std::filesystem::absolute(options.file, ignored);
    control.SetHexPath(file.empty() ? options.file : file.string());
    control.LoadHexFile();
    if (!control.LastLoad().Loaded()) {
        output.Error("    cause: " + control.HexPath() + ": " + control.LastLoad().Cause());
        return kExitHexNotLoaded;
    }

    SelectMemories(options.memories, session.App().m_device, session.Window(), output);
    WriteProgress progress(output, control, PlanSelectedBlocks(session), session.Boxes(),
                           options.baud);
    if (StopSignal() == 0) {
        control.OnWriteCommand();
        RunWhileBusy(control, session.Window(), progress);
    }
    // The writer is idle or gone by now, whichever way the write ended.
    rowsWritten = control.Job().rowsAcknowledgedInWrite.load();

    if (const int signal = StopSignal(); signal != 0) {
        output.Error(std::string("pelorant-cli: stopped by ") + StopSignalName(signal) + ": " +
                     StoppedWriteText(control) + "; the port is released");
        return kExitSignalBase + signal;
    }
    if (!control.FailedBlocks().empty()) {
        output.Error("pelorant-cli: write failed: " + FailedBlocksText(control.FailedBlocks()) +
                     (options.proceedOnError ? " not written completely (passed over with "
                                               "--proceed-on-error)"
                                             : " not written completely"));
        return kExitWriteFailed;
    }
    if (!progress.finishStatus && SynchronismFailed(session)) return kExitWriteFailed;
    if (!progress.finishStatus || *progress.finishStatus != 0) return kExitWriteFailed;
    if (options.run && !RunUserProgram(session)) return kExitWriteFailed;
    return kExitOk;
}
