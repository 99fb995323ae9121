#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// The line trace: the bytes that pass between host and board, one line per port call on the
// host (one per frame and per reply on the virtual board), in one format for both:
//
//   <µs> <port> <direction> <exchange>: <bytes>
//   "81234567012 COM33 H>B row 4 at 0x000100: 02 00 01 00 81 ... 3C"
//
// µs is the monotonic clock, shared by every program on the machine, so a host's trace and a
// board's frame log merge by sorting on it; H>B is host to board, B>H board to host; the
// bytes are upper-case hexadecimal, "none" when a read got nothing, "failed" when the port
// call failed.
namespace bootproto {

enum class TraceDirection { HostToBoard, BoardToHost };

enum class ExchangeKind { Probe, Identify, Version, SyncCheck, Run, Row, Ack, Stray, Unknown };

struct Exchange {
    ExchangeKind kind = ExchangeKind::Unknown;
    std::uint32_t row = 0;      // Row and Ack: the row's number, from 0
    std::uint32_t address = 0;  // Row and Ack: the row's address
};

// "probe", "identify", "version", "sync check", "run", "row N at 0xAAAAAA",
// "ack row N at 0xAAAAAA", "stray", "unknown".
std::string ExchangeName(const Exchange& exchange);
// The exchange a frame from the host opens, named by its command byte; `row` numbers a row
// frame.
Exchange ExchangeOfFrame(const std::uint8_t* bytes, std::size_t count, std::uint32_t row);

// One trace line, with its newline. `failed`: the port call failed, `bytes` is not read.
std::string FormatTraceLine(std::uint64_t micros, const std::string& port, TraceDirection direction,
                            const Exchange& exchange, const std::uint8_t* bytes, std::size_t count,
                            bool failed = false);
std::uint64_t MonotonicMicros();

// Where trace lines go: streams shared by every board traced, written a whole line at a time.
// A stream that refuses a line (a full disk, /dev/full, a file of /proc) gets no more lines, and
// the failure is reported at once, once per stream: a trace cut short is never taken for whole.
class TraceSink {
public:
    // `name` says what the stream is in a failure's text ("the trace file t.log").
    void Add(std::FILE* stream, std::string name = "the trace");
    // Called, outside the sink's lock, with "<name> cannot be written: <system text>".
    void OnFailure(std::function<void(const std::string& failure)> report);
    void Write(const std::string& line);
    // Whether a stream refused a line.
    bool Failed() const;

private:
    struct Stream {
        std::FILE* file;
        std::string name;
        bool failed = false;
    };
    mutable std::mutex lock_;
    std::vector<Stream> streams_;
    std::function<void(const std::string&)> report_;
    bool failed_ = false;
};

// One board's trace; safe to call from the board's worker threads and its control's thread.
class LineTrace {
public:
    LineTrace(std::string port, TraceSink& sink);

    // After a port call that moved `result` bytes (CSerialPort's all-bits-set failure value
    // when it failed).
    void Record(TraceDirection direction, const Exchange& exchange, const void* bytes,
                unsigned long result);

private:
    const std::string port_;
    TraceSink& sink_;
};

// The engine's hook after every port call: nothing at all for a board that is not traced.
inline void Trace(LineTrace* trace, TraceDirection direction, const Exchange& exchange,
                  const void* bytes, unsigned long result) {
    if (trace != nullptr) trace->Record(direction, exchange, bytes, result);
}

}  // namespace bootproto
