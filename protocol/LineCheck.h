#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

class CSerialPort;

// What the line holds between two exchanges, and when a reply can be the board's. The board
// answers each exchange with exactly the bytes asked for, and only once it has the whole
// request: any other byte came from no exchange, and the reply read before it cannot be
// trusted.
namespace bootproto {

enum class LineState { Quiet, StrayInput, PortLost };

using LineClock = std::chrono::steady_clock;

// Whether `reply`, a byte the host had in hand at `seen`, can be the board's answer to a row
// frame of `bytes` bytes whose write began at `sent`, at `baud` bit/s. The frame needs its own
// time on the line (10 bit times a byte, less 3 % for a fast clock) before the board has it,
// and an acknowledgement (0x55) needs at least a millisecond more, for the row to be
// programmed. A write that reports its bytes gone before they are on the line (a
// pseudo-terminal, most USB adapters) proves nothing sooner.
bool CanBeTheAnswer(LineClock::time_point sent, std::size_t bytes, unsigned long baud,
                    LineClock::time_point seen, std::uint8_t reply);

// Whether the port call that just failed on `port` failed because the port went away (adapter
// unplugged, line hung up), not for a time-out: nothing more can be exchanged on it.
bool PortWentAway(const CSerialPort& port);

}  // namespace bootproto
