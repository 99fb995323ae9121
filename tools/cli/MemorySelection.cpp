#include "tools/cli/MemorySelection.h"

#include <string>

void SelectMemories(const std::optional<std::array<bool, 3>>& named, ProgrammingSession& session,
                    const CDeviceInfo& device, ConsoleOutput& output) {
    if (!named) return;
    for (const MemoryBlock& block : kMemoryBlocks) {
        const bool wanted = (*named)[static_cast<std::size_t>(block.index)];
        session.ChooseBlock(block.index, wanted);
        if (wanted && !session.BlockOffered(block.index)) {
            output.Error(std::string("pelorant-cli: warning: ") +
                         (device.images[block.index].present ? "the file holds no data for "
                                                             : "the device has no ") +
                         block.name + "; it is not written");
        }
    }
}
