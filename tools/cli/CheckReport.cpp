#include "tools/cli/CheckReport.h"

#include <cstdio>

#include "tools/cli/BoxPrinter.h"

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

const char* DefaultChoice(const BlockPlan& plan) {
    if (!plan.filled) return "not written: the file holds no data for it";
    if (!plan.writtenByDefault) return "written only with --memories config";
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

void PrintCheckReport(const LoadedImage& loaded, const CDeviceInfo& device, const std::string& id,
                      const std::vector<ShownBox>& warnings, ConsoleOutput& output) {
    output.Result(std::string("device ") + loaded.DeviceName() + " (" + id + ")");
    output.Result("bootloader " + Hex(device.bootStart) + " - " + Hex(device.bootEnd));
    for (const MemoryBlock& block : kMemoryBlocks) {
        const CMemoryImage& image = loaded.Image(block.index);
        if (!image.present) continue;
        const int rowUnits = RowUnits(image);
        char line[160];
        std::snprintf(line, sizeof line, "%s (%s - %s), rows of %d address units", block.name,
                      Hex(image.GetStart()).c_str(), Hex(image.GetEnd()).c_str(), rowUnits);
        output.Result(line);

        bool empty = true;
        const std::uint32_t first = image.FirstUsedAddress(&empty);
        const std::uint32_t last = image.LastUsedAddress();
        output.Result(empty ? "  used                 none"
                            : "  used                 " + Hex(first) + " - " + Hex(last));
        const BlockPlan& plan = loaded.Plan(block.index);
        if (!plan.rows.rowSizeValid) {
            output.Result("  send                 nothing: rows of this size cannot be framed");
        } else {
            const auto units = static_cast<std::uint32_t>(rowUnits);
            output.Result(RowsLine("send", plan.rows.rows, units));
            output.Result(RowsLine("skip, bootloader", plan.rows.skippedBootloader, units));
            output.Result(RowsLine("skip, protected", plan.rows.skippedProtected, units));
        }
        output.Result(std::string("  write                ") + DefaultChoice(plan));
    }
    output.Result(std::string("row 0 (the jump into the bootloader) ") +
                  (loaded.RowZeroMade() ? "made: the file holds a program"
                                        : "not made: program flash is left alone"));
    output.Result("sha256 " + loaded.Sha256());
    if (warnings.empty()) return;
    output.Result("warnings of the load:");
    for (const ShownBox& box : warnings) output.Result(FormatBox(box.text, box.caption, box.icon));
}

std::string SerialLandingText(std::uint64_t number, SerialPlace place, const SerialLanding& landing,
                              const LoadedImage& image) {
    const auto units = static_cast<std::uint32_t>(RowUnits(image.Image(landing.block)));
    return "serial number " + std::to_string(number) + " at " + Hex(place.address) + " (" +
           kMemoryBlocks[landing.block].name + ", " + std::to_string(place.words) +
           (place.words == 1 ? " word), row" : " words), row") +
           (landing.rows.size() == 1 ? " " : "s ") + FormatRowSpans(landing.rows, units);
}
