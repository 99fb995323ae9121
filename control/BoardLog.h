#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/AppendFile.h"
#include "control/BoardRecord.h"

// The --log file: a JSON object on a line of its own for every board of every write (JSON
// Lines). The file is only ever appended to; the lines of a batch of boards go in one write,
// so that no line is torn or mixed with another station's.
class BoardLog {
public:
    // Opens `path`, made when it does not exist; null with `error` set when it cannot be
    // written ("<path> is a directory", "<path>: Permission denied").
    static std::unique_ptr<BoardLog> Open(const std::string& path, std::string& error);

    // Appends a line for each record, synced to the disk; false with `error` set.
    bool Append(const std::vector<BoardRecord>& records, std::string& error);

private:
    explicit BoardLog(std::unique_ptr<AppendFile> file) : file_(std::move(file)) {}

    std::unique_ptr<AppendFile> file_;
};

// The log's lines for `records`, each ending in a line feed.
std::string RecordLines(const std::vector<BoardRecord>& records);
