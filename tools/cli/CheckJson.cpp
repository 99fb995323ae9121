#include "tools/cli/CheckJson.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "control/ExitStatus.h"
#include "device/MemoryBlock.h"

namespace {

using Json = nlohmann::ordered_json;

Json Range(std::uint32_t first, std::uint32_t last) {
    return {{"start", first}, {"end", last}};
}

// The rows passed over, in address order, each with its reason.
Json SkippedRows(const RowPlan& rows) {
    std::vector<std::pair<std::uint32_t, const char*>> skipped;
    for (const std::uint32_t row : rows.skippedBootloader) skipped.emplace_back(row, "bootloader");
    for (const std::uint32_t row : rows.skippedProtected) skipped.emplace_back(row, "protected");
    std::sort(skipped.begin(), skipped.end());
    Json list = Json::array();
    for (const auto& [row, reason] : skipped) list.push_back({{"row", row}, {"reason", reason}});
    return list;
}

Json MemoryJson(const MemoryBlock& block, const CMemoryImage& image, const BlockPlan& plan) {
    bool empty = true;
    const std::uint32_t first = image.FirstUsedAddress(&empty);
    const std::uint32_t last = image.LastUsedAddress();
    return {{"memory", block.key},
            {"name", block.name},
            {"range", Range(image.GetStart(), image.GetEnd())},
            {"row_units", RowUnits(image)},
            {"used", empty ? Json(nullptr) : Range(first, last)},
            {"framed", plan.rows.rowSizeValid},
            {"send", plan.rows.rowSizeValid ? Json(plan.rows.rows) : Json::array()},
            {"skip", SkippedRows(plan.rows)},
            {"filled", plan.filled},
            {"written_by_default", plan.filled && plan.writtenByDefault}};
}

}  // namespace

nlohmann::ordered_json CheckJson(const LoadedImage& loaded, const CDeviceInfo& device,
                                 const std::string& id, const std::vector<ShownBox>& warnings) {
    Json memories = Json::array();
    for (const MemoryBlock& block : kMemoryBlocks) {
        const CMemoryImage& image = loaded.Image(block.index);
        if (image.present) memories.push_back(MemoryJson(block, image, loaded.Plan(block.index)));
    }
    Json shown = Json::array();
    for (const ShownBox& box : warnings) {
        shown.push_back({{"caption", box.caption}, {"text", box.text}});
    }
    return {{"device_id", id},
            {"device", loaded.DeviceName()},
            {"hex_path", loaded.Path()},
            {"hex_sha256", loaded.Sha256()},
            {"bootloader", Range(device.bootStart, device.bootEnd)},
            {"memories", memories},
            {"row_zero_made", loaded.RowZeroMade()},
            {"warnings", shown},
            {"result", "ok"},
            {"exit_status", kExitOk},
            {"cause", nullptr}};
}

nlohmann::ordered_json CheckFailureJson(const std::string& file, int status,
                                        const std::string& cause) {
    return {{"device_id", nullptr},   {"device", nullptr},
            {"hex_path", file},       {"hex_sha256", nullptr},
            {"bootloader", nullptr},  {"memories", Json::array()},
            {"row_zero_made", false}, {"warnings", Json::array()},
            {"result", "failed"},     {"exit_status", status},
            {"cause", cause}};
}
