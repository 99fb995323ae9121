#include "tools/cli/SessionRecord.h"

#include "common/HostName.h"
#include "device/MemoryBlock.h"
#include "protocol/Frames.h"
#include "tools/cli/FirmwareText.h"
#include "tools/cli/PortName.h"

namespace {

MemoryRecord MemoryOf(const BlockOutcome& block, const LoadedImage* image) {
    MemoryRecord memory;
    memory.block = block.block;
    memory.rows = block.rowsAcknowledged;
    // Each row frame carries two bytes per address unit of the row.
    const std::uint64_t rowBytes =
        image != nullptr ? 2 * static_cast<std::uint64_t>(RowUnits(image->Image(block.block))) : 0;
    memory.bytes = memory.rows * rowBytes;
    memory.complete =
        block.result == BlockResult::Ok && block.rowsAcknowledged == block.rowsPlanned;
    return memory;
}

}  // namespace

BoardRecord PortRecord(const std::string& port) {
    BoardRecord record;
    record.host = HostName();
    record.port = port;
    if (PortName name; ParsePortName(port, name) && name.comNumber > 0) {
        record.com = name.comNumber;
    }
    return record;
}

BoardRecord PortRecord(const std::string& port, const HexSource& source) {
    BoardRecord record = PortRecord(port);
    record.hexPath = source.file.path;
    record.hexSha256 = source.sha256;
    return record;
}

BoardRecord DetectionRecord(const std::string& port, BoardSession& board) {
    BoardRecord record = PortRecord(port);
    const ProgrammingSession& session = board.Session();
    const DetectionOutcome& detection = session.LastReconnect().detection;
    const CBootloaderApp& app = board.App();
    if (detection.identification.has_value()) {
        record.deviceId = bootproto::IdentifierText(app.m_deviceId[0], app.m_deviceId[1]);
    }
    if (detection.Identified()) {
        record.deviceName = app.m_device.name;
        record.firmware = FirmwareText(app.m_firmwareVersion);
    }
    return record;
}

BoardRecord SessionRecord(const std::string& port, BoardSession& board, const HexSource& source) {
    BoardRecord record = DetectionRecord(port, board);
    record.hexPath = source.file.path;
    record.hexSha256 = source.sha256;
    const ProgrammingSession& session = board.Session();
    for (const BlockOutcome& block : session.LastWrite().blocks) {
        record.memories.push_back(MemoryOf(block, session.Image().get()));
    }
    return record;
}
