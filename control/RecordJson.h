#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "control/BoardRecord.h"
#include "control/LoadedImage.h"

// A board's record as the JSON object that the log holds on one line and write --json lists.
// Its field names are stable: scripts read them (the man page lists them).
nlohmann::ordered_json RecordJson(const BoardRecord& record);

// detect --json: the port and the device the board told (from its record), and how the
// detection ended.
nlohmann::ordered_json DetectionJson(const BoardRecord& record);

// write --json: the file, every board's record, the command's exit status and, when the
// command itself failed (the file not read, the log not written), why.
nlohmann::ordered_json WriteJson(const HexSource& source, const std::vector<BoardRecord>& records,
                                 int status, const std::string& cause);
