#pragma once

#include <string>
#include <vector>

#include "control/BoardRecord.h"

// The closing table: a header, then per board its port, chip, rows written, seconds and
// result ("ok", or "failed (status): why"), with the board's serial number when it had one.
std::vector<std::string> FormatBoardTable(const std::vector<BoardRecord>& boards);

// 0 when every board succeeded, else the highest board status.
int WorstStatus(const std::vector<BoardRecord>& boards);
