#include "tools/cli/MemorySelection.h"

#include <string>

#include "tools/cli/MemoryNames.h"

void SelectMemories(const std::optional<std::array<bool, 3>>& named, const CDeviceInfo& device,
                    ConsoleWindow& window, ConsoleOutput& output) {
    if (!named) return;
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        const bool wanted = (*named)[block];
        const bool filled = device.images[block].hasData && window.BlockCheckVisible(block);
        window.SetBlockChecked(block, wanted && filled);
        if (wanted && !filled) {
            output.Error(std::string("pelorant-cli: warning: ") +
                         (window.BlockCheckVisible(block) ? "the file holds no data for "
                                                          : "the device has no ") +
                         kMemoryNames[block] + "; it is not written");
        }
    }
}
