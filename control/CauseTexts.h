#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "control/SessionEvents.h"
#include "protocol/Outcomes.h"

// The cause of a failure in the user's terms, and the next step: one table for every front
// end. The boxes keep their own texts; the cause is the line they add (pelorant-cli prints it
// as "cause: ...").

// Where a block's write stopped.
struct BlockFailure {
    BlockResult code = BlockResult::Ok;  // the row writer's result
    std::optional<std::uint32_t> row;    // the address of the row on the line
    std::optional<std::uint8_t> reply;   // the byte the board answered instead of 0x55
    std::size_t rowBytes = 0;            // bytes of one row frame on the wire
    unsigned baud = 0;
};

std::string BlockCause(const BlockFailure& failure);

// The port went away mid-exchange (adapter unplugged, line hung up); `port` names it as the
// user gave it, or is empty where the line already names it.
std::string PortLostCause(const std::string& port = {});

// Where a write that the user stopped ended: the rows the board acknowledged and whether the
// row on the line was cut off, for part of its frame may have reached the board.
std::string StoppedWriteText(const WriteOutcome& write);

// After "synchronization error": the board answered the detection but not the check that
// comes before a write or the run command.
std::string SynchronismCause();
// After "running failed": the synchronism check or the run command itself failed.
std::string RunCommandCause();

// Why a detection found no board. `port` names the port as the user gave it; `seconds` is the
// detection's time limit; `resetPlayed`: the board was reset through the modem lines, not by
// the user's hand.
std::string DetectionCause(DetectionResult result, const std::string& port, unsigned seconds,
                           bool resetPlayed = false);

// After "dsPIC identification failed.": `result` is IdentifyDevice's, `identifier` the
// id the board reported ("0x0101"), `catalogue` the catalogue file's path, `detail` the
// catalogue lookup's words for what it refused (may be empty).
std::string IdentificationCause(IdentifyResult result, const std::string& identifier,
                                const std::string& catalogue, const std::string& detail = {});
