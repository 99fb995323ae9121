#pragma once

#include <string>

#include "control/BoardRecord.h"
#include "control/LoadedImage.h"
#include "tools/cli/BoardSession.h"

// What the record of the board on `port` (as the user named it) holds before the board is
// touched: the station and the port, and the file when there is one.
BoardRecord PortRecord(const std::string& port);
BoardRecord PortRecord(const std::string& port, const HexSource& source);

// The record of the board on `port` as far as `board` detected it: the station, the port and
// what the detection learnt of the device.
BoardRecord DetectionRecord(const std::string& port, BoardSession& board);

// The record of the board on `port` that `board` wrote `source` into, or tried to: what the
// detection learnt of the device, and each memory as far as the write got. The caller adds
// the time, the status and the cause.
BoardRecord SessionRecord(const std::string& port, BoardSession& board, const HexSource& source);
