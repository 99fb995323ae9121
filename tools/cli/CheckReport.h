#pragma once

#include <string>
#include <vector>

#include "common/MessageBox.h"
#include "control/LoadedImage.h"
#include "control/SerialNumber.h"
#include "tools/cli/ConsoleOutput.h"

// A box the load showed, for the report to print afterwards.
struct ShownBox {
    std::string text;
    std::string caption;
    BoxIcon icon;
};

// Prints, for each memory of the device, its range, the used range, the rows a write would
// send and those it would pass over (bootloader, protected), whether a write selects it by
// default, and then the load's warnings: the load's own plan, which every write follows.
void PrintCheckReport(const LoadedImage& image, const CDeviceInfo& device, const std::string& id,
                      const std::vector<ShownBox>& warnings, ConsoleOutput& output);

// Row start addresses as spans of the word addresses they cover, "0x0000-0x007F ...".
std::string FormatRowSpans(const std::vector<std::uint32_t>& rows, std::uint32_t rowUnits);

// Where a board's number went: "serial number 1000 at 0x7FFC00 (data EEPROM, 1 word), row
// 0x7FFC00-0x7FFC1F".
std::string SerialLandingText(std::uint64_t number, SerialPlace place, const SerialLanding& landing,
                              const LoadedImage& image);
