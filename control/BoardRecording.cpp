#include "control/BoardRecording.h"

#include "common/HostName.h"
#include "control/FirmwareText.h"
#include "control/ProgrammingSession.h"
#include "device/MemoryBlock.h"
#include "protocol/Frames.h"

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

BoardRecord StationRecord(const std::string& port, std::optional<int> com) {
    BoardRecord record;
    record.host = HostName();
    record.port = port;
    record.com = com;
    return record;
}

void RecordDevice(BoardRecord& record, const EngineContext& engine, bool idTold, bool identified) {
    if (idTold) record.deviceId = bootproto::IdentifierText(engine.deviceId[0], engine.deviceId[1]);
    if (identified) {
        record.deviceName = engine.device.name;
        record.firmware = FirmwareText(engine.firmwareVersion);
    }
}

void RecordWrite(BoardRecord& record, const ProgrammingSession& session) {
    for (const BlockOutcome& block : session.LastWrite().blocks) {
        record.memories.push_back(MemoryOf(block, session.Image().get()));
    }
}
