#include <cstdio>
#include <filesystem>
#include <string>

#include "protocol/RowPlan.h"
#include "tools/cli/Commands.h"
#include "tools/cli/EventLoop.h"
#include "tools/cli/ExitStatus.h"
#include "tools/cli/MemoryNames.h"
#include "tools/cli/MemorySelection.h"
#include "tools/cli/Session.h"
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
        loads[block].bytesPerRow = static_cast<std::size_t>(2 * rowUnits + 6 + 1);
    }
    return loads;
}

// Sends the run command; false when it was not sent.
bool RunUserProgram(Session& session) {
    session.Control().OnRunCommand();
    return !session.Control().m_portOpen;
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
    Session session(options, output);
    if (const int status = session.Connect(); status != kExitOk) return status;
    CProgrammingControl& control = session.Control();

    std::error_code ignored;
    const std::filesystem::path file = std::filesystem::absolute(options.file, ignored);
    control.m_hexPath = file.empty() ? options.file : file.string();
    control.LoadHexFile();
    if (!control.m_lastLoad.Loaded()) {
        output.Error("pelorant-cli: " + control.m_hexPath + ": " + control.m_lastLoad.Cause());
        return kExitHexNotLoaded;
    }

    SelectMemories(options.memories, session.App().m_device, session.Window(), output);
    WriteProgress progress(output, control, PlanSelectedBlocks(session));
    control.OnWriteCommand();
    RunWhileBusy(control, session.Window(), progress);

    if (!progress.finishStatus || *progress.finishStatus != 0) return kExitWriteFailed;
    for (const int block : progress.failedBlocks) {
        output.Error(std::string("pelorant-cli: warning: ") + kMemoryNames[block] +
                     " failed and was passed over (--proceed-on-error)");
    }
    if (options.run && !RunUserProgram(session)) return kExitWriteFailed;
    return kExitOk;
}
