#include "tools/cli/CheckReport.h"

#include <cstdio>

#include "protocol/RowPlan.h"
#include "tools/cli/ConsoleMessageBox.h"
#include "tools/cli/MemoryNames.h"

namespace {

std::string Hex(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", address);
    return text;
}

std::string RowsLine(const char* label, const std::vector<std::uint32_t>& rows,
                     std::uint32_t rowUnits) {
    char head[64];
    std::snprintf(head, sizeof head, "  %-20s %zu %s", label, rows.size(),
                  rows.size() == 1 ? "row" : "rows");
    return rows.empty() ? head : std::string(head) + ": " + FormatRowSpans(rows, rowUnits);
}

const char* DefaultChoice(int block, bool filled) {
    if (!filled) return "not written: the file holds no data for it";
    if (block == 2) return "written only with --memories config";
    return "written by default";
}

}  // namespace

std::string FormatRowSpans(const std::vector<std::uint32_t>& rows, std::uint32_t rowUnits) {
    std::string text;
    std::size_t i = 0;
    while (i < rows.size()) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + rowUnits) ++j;
        if (!text.empty()) text += ' ';
        text += Hex(rows[i]) + "-" + Hex(rows[j] + rowUnits - 1);
        i = j + 1;
    }
    return text;
}

void PrintCheckReport(CDeviceInfo& device, const std::string& id,
                      const std::vector<ShownBox>& warnings, ConsoleOutput& output) {
    output.Result(std::string("device ") + device.name + " (" + id + ")");
    output.Result("bootloader " + Hex(device.bootStart) + " - " + Hex(device.bootEnd));
    for (int block = 0; block < 3; ++block) {
        CMemoryImage& image = device.images[block];
        if (!image.present) continue;
        const int rowUnits = 2 * image.instructionsPerRow;
        char line[160];
        std::snprintf(line, sizeof line, "%s (%s - %s), rows of %d address units",
                      kMemoryNames[block], Hex(image.GetStart()).c_str(),
                      Hex(image.GetEnd()).c_str(), rowUnits);
        output.Result(line);

        bool empty = true;
        const std::uint32_t first = image.FirstUsedAddress(&empty);
        const std::uint32_t last = image.LastUsedAddress();
        output.Result(empty ? "  used                 none"
                            : "  used                 " + Hex(first) + " - " + Hex(last));
        const RowPlan plan = PlanRows(image, rowUnits, device.bootStart, device.bootEnd);
        if (!plan.rowSizeValid) {
            output.Result("  send                 nothing: rows of this size cannot be framed");
        } else {
            const auto units = static_cast<std::uint32_t>(rowUnits);
            output.Result(RowsLine("send", plan.rows, units));
            output.Result(RowsLine("skip, bootloader", plan.skippedBootloader, units));
            output.Result(RowsLine("skip, protected", plan.skippedProtected, units));
        }
        output.Result(std::string("  write                ") + DefaultChoice(block, image.hasData));
    }
    if (warnings.empty()) return;
    output.Result("warnings of the load:");
    for (const ShownBox& box : warnings) output.Result(FormatBox(box.text, box.caption, box.icon));
}
