#pragma once

#include <array>
#include <optional>

#include "device/DeviceInfo.h"
#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/ConsoleWindow.h"

// After a load the window has checked what the desktop program would; a --memories list
// replaces that choice. A named memory that the file does not fill, or that the device
// lacks, is not written and gets a warning.
void SelectMemories(const std::optional<std::array<bool, 3>>& named, const CDeviceInfo& device,
                    ConsoleWindow& window, ConsoleOutput& output);
