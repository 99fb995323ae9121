#include "control/BoardRecord.h"

#include "control/ExitStatus.h"

std::uint32_t BoardRecord::RowsWritten() const {
    std::uint32_t rows = 0;
    for (const MemoryRecord& memory : memories) rows += memory.rows;
    return rows;
}

const char* ResultWord(int status) {
    if (status == kExitOk) return "ok";
    return status > kExitSignalBase ? "stopped" : "failed";
}
