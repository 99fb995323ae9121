#include "control/BoardLog.h"

#include <nlohmann/json.hpp>

#include "control/RecordJson.h"

std::unique_ptr<BoardLog> BoardLog::Open(const std::string& path, std::string& error) {
    std::unique_ptr<AppendFile> file = AppendFile::Open(path, error);
    if (!file) return nullptr;
    return std::unique_ptr<BoardLog>(new BoardLog(std::move(file)));
}

bool BoardLog::Append(const std::vector<BoardRecord>& records, std::string& error) {
    if (records.empty()) return true;
    return file_->Append(RecordLines(records), error);
}

std::string RecordLines(const std::vector<BoardRecord>& records) {
    std::string lines;
    for (const BoardRecord& record : records) {
        // Text that is not UTF-8 (a path in another code page) is replaced, not refused: the
        // record matters more than one character of it.
        lines += RecordJson(record).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        lines += '\n';
    }
    return lines;
}
