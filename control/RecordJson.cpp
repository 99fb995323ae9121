#include "control/RecordJson.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "control/UtcTimeText.h"
#include "device/MemoryBlock.h"

namespace {

template <typename T>
nlohmann::ordered_json OrNull(const std::optional<T>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json TextOrNull(const std::string& text) {
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

nlohmann::ordered_json MemoryJson(const MemoryRecord& memory) {
    return {{"memory", kMemoryBlocks[memory.block].key},
            {"rows", memory.rows},
            {"bytes", memory.bytes},
            {"complete", memory.complete}};
}

}  // namespace

nlohmann::ordered_json RecordJson(const BoardRecord& record) {
    nlohmann::ordered_json memories = nlohmann::ordered_json::array();
    for (const MemoryRecord& memory : record.memories) memories.push_back(MemoryJson(memory));
    return {{"time", UtcTimeText(record.time)},
            {"host", record.host},
            {"port", record.port},
            {"com", OrNull(record.com)},
            {"device_id", OrNull(record.deviceId)},
            {"device", OrNull(record.deviceName)},
            {"firmware", OrNull(record.firmware)},
            {"hex_path", record.hexPath},
            {"hex_sha256", record.hexSha256},
            {"serial", OrNull(record.serial)},
            {"memories", memories},
            {"seconds", std::round(record.seconds * 1000) / 1000},
            {"result", ResultWord(record.status)},
            {"exit_status", record.status},
            {"cause", TextOrNull(record.cause)}};
}

nlohmann::ordered_json DetectionJson(const BoardRecord& record) {
    return {{"port", record.port},
            {"com", OrNull(record.com)},
            {"device_id", OrNull(record.deviceId)},
            {"device", OrNull(record.deviceName)},
            {"firmware", OrNull(record.firmware)},
            {"result", ResultWord(record.status)},
            {"exit_status", record.status},
            {"cause", TextOrNull(record.cause)}};
}

nlohmann::ordered_json WriteJson(const HexSource& source, const std::vector<BoardRecord>& records,
                                 int status, const std::string& cause) {
    nlohmann::ordered_json boards = nlohmann::ordered_json::array();
    for (const BoardRecord& record : records) boards.push_back(RecordJson(record));
    return {{"hex_path", source.file.path},
            {"hex_sha256", TextOrNull(source.sha256)},
            {"boards", boards},
            {"result", ResultWord(status)},
            {"exit_status", status},
            {"cause", TextOrNull(cause)}};
}
