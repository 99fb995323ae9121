#pragma once

#include <array>
#include <optional>

#include "control/ProgrammingSession.h"
#include "tools/cli/ConsoleOutput.h"

// After a load the session has chosen what the desktop program would; a --memories list
// replaces that choice. A named memory that the file does not fill, or that the device lacks,
// is not written and gets a warning.
void SelectMemories(const std::optional<std::array<bool, 3>>& named, ProgrammingSession& session,
                    const CDeviceInfo& device, ConsoleOutput& output);
