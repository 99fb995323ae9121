#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The line pelorant-cli prints after a failure's message box: the cause in the user's terms
// and the next step. The boxes keep the desktop program's texts; these add what they omit.

// Where a block's write stopped.
struct BlockFailure {
    int code = 0;                       // the row writer's block result, 1 to 6
    std::optional<std::uint32_t> row;   // the address of the row on the line
    std::optional<std::uint8_t> reply;  // the byte the board answered instead of 0x55
    std::size_t rowBytes = 0;           // bytes of one row frame on the wire
    unsigned baud = 0;
};

std::string BlockCause(const BlockFailure& failure);

// After "synchronization error": the board answered the detection but not the check that
// comes before a write or the run command.
std::string SynchronismCause();
// After "running failed": the synchronism check or the run command itself failed.
std::string RunCommandCause();

// After "dsPIC identification failed.": `code` is IdentifyDevice's result, `identifier` the
// id the board reported ("0x0101"), `catalogue` the catalogue file's path, `detail` the
// catalogue lookup's words for what it refused (may be empty).
std::string IdentificationCause(int code, const std::string& identifier,
                                const std::string& catalogue, const std::string& detail = {});
