#pragma once

#include <string>
#include <vector>

#include "device/DeviceInfo.h"
#include "tools/cli/ConsoleOutput.h"
#include "tools/cli/RecordedBoxes.h"

// Prints, for each memory of the loaded device, its range, the used range, the rows a
// write would send and those it would pass over (bootloader, protected), whether a write
// selects it by default, and then the load's warnings.
void PrintCheckReport(CDeviceInfo& device, const std::string& id,
                      const std::vector<ShownBox>& warnings, ConsoleOutput& output);

// Row start addresses as spans of the word addresses they cover, "0x0000-0x007F ...".
std::string FormatRowSpans(const std::vector<std::uint32_t>& rows, std::uint32_t rowUnits);
