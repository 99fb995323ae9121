#pragma once

class CSerialPort;

// What the line holds between two exchanges. The board answers each exchange with exactly
// the bytes asked for, so any byte found here came from no exchange: the reply read before
// it cannot be trusted.
namespace bootproto {

enum class LineState { Quiet, StrayInput, PortLost };

class LineTrace;

// Looks for input waiting on the port, or arriving within `waitMs` (at least 1 ms), without
// purging it. The port's time-outs are left as they were. A stray byte found goes to `trace`.
LineState LookForStrayInput(CSerialPort& port, unsigned long waitMs, LineTrace* trace = nullptr);

// Whether the port call that just failed on `port` failed because the port went away (adapter
// unplugged, line hung up), not for a time-out: nothing more can be exchanged on it.
bool PortWentAway(const CSerialPort& port);
// Whether `result`, what a port call on `port` just returned, is the failure value of a port
// that went away.
bool PortLost(const CSerialPort& port, unsigned long result);

}  // namespace bootproto
