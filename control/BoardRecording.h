#pragma once

#include <optional>
#include <string>

#include "control/BoardRecord.h"

struct EngineContext;
class ProgrammingSession;

// The pieces of a board's record that every front end fills the same way.

// The record of the board on `port`, as the user named it (`com`: n of COMn), at this station.
BoardRecord StationRecord(const std::string& port, std::optional<int> com);

// The device as `engine` holds it: its id once the board told it (`idTold`), its name and the
// bootloader's version once it was identified.
void RecordDevice(BoardRecord& record, const EngineContext& engine, bool idTold, bool identified);

// Each memory of `session`'s last write, as far as the write got.
void RecordWrite(BoardRecord& record, const ProgrammingSession& session);
