#include "protocol/LineTrace.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include "protocol/Frames.h"

namespace bootproto {

namespace {

// CSerialPort::kFailure, without making the virtual board depend on the serial library.
constexpr unsigned long kPortCallFailed = 0xFFFFFFFFUL;

std::string RowText(const Exchange& exchange) {
    char text[48];
    std::snprintf(text, sizeof text, "row %u at 0x%06X", static_cast<unsigned>(exchange.row),
                  static_cast<unsigned>(exchange.address));
    return text;
}

}  // namespace

std::string ExchangeName(const Exchange& exchange) {
    switch (exchange.kind) {
        case ExchangeKind::Probe:
            return "probe";
        case ExchangeKind::Identify:
            return "identify";
        case ExchangeKind::Version:
            return "version";
        case ExchangeKind::SyncCheck:
            return "sync check";
        case ExchangeKind::Run:
            return "run";
        case ExchangeKind::Row:
            return RowText(exchange);
        case ExchangeKind::Ack:
            return "ack " + RowText(exchange);
        case ExchangeKind::Stray:
            return "stray";
        case ExchangeKind::Unknown:
            break;
    }
    return "unknown";
}

Exchange ExchangeOfFrame(const std::uint8_t* bytes, std::size_t count, std::uint32_t row) {
    if (bytes == nullptr || count == 0) return {};
    switch (bytes[0]) {
        case kProbe:
            return {ExchangeKind::Probe};
        case kIdentify:
            return {ExchangeKind::Identify};
        case kFirmwareVersion:
            return {ExchangeKind::Version};
        case kSyncCheck:
            return {ExchangeKind::SyncCheck};
        case kRunUserProgram:
            return {ExchangeKind::Run};
        case kWriteRow: {
            std::uint32_t address = 0;
            for (std::size_t i = 1; i < 4 && i < count; ++i) address = address << 8 | bytes[i];
            return {ExchangeKind::Row, row, address};
        }
        default:
            return {};
    }
}

std::string FormatTraceLine(std::uint64_t micros, const std::string& port, TraceDirection direction,
                            const Exchange& exchange, const std::uint8_t* bytes, std::size_t count,
                            bool failed) {
    std::string line = std::to_string(micros) + ' ' + port +
                       (direction == TraceDirection::HostToBoard ? " H>B " : " B>H ") +
                       ExchangeName(exchange) + ':';
    if (failed) return line + " failed\n";
    if (count == 0 || bytes == nullptr) return line + " none\n";
    line.reserve(line.size() + 3 * count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        char field[4];
        std::snprintf(field, sizeof field, " %02X", static_cast<unsigned>(bytes[i]));
        line += field;
    }
    line += '\n';
    return line;
}

std::uint64_t MonotonicMicros() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

void TraceSink::Add(std::FILE* stream, std::string name) {
    std::lock_guard<std::mutex> guard(lock_);
    streams_.push_back(Stream{stream, std::move(name)});
}

void TraceSink::OnFailure(std::function<void(const std::string& failure)> report) {
    std::lock_guard<std::mutex> guard(lock_);
    report_ = std::move(report);
}

void TraceSink::Write(const std::string& line) {
    std::vector<std::string> failures;
    std::function<void(const std::string&)> report;
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (Stream& stream : streams_) {
            if (stream.failed) continue;
            errno = 0;
            // The flush hands the line to the system, which is where a full disk says so.
            if (std::fputs(line.c_str(), stream.file) >= 0 && std::fflush(stream.file) == 0) {
                continue;
            }
            stream.failed = true;
            failed_ = true;
            failures.push_back(stream.name +
                               " cannot be written: " + std::strerror(errno != 0 ? errno : EIO));
        }
        report = report_;
    }
    if (!report) return;
    for (const std::string& failure : failures) report(failure);
}

bool TraceSink::Failed() const {
    std::lock_guard<std::mutex> guard(lock_);
    return failed_;
}

LineTrace::LineTrace(std::string port, TraceSink& sink) : port_(std::move(port)), sink_(sink) {}

void LineTrace::Record(TraceDirection direction, const Exchange& exchange, const void* bytes,
                       unsigned long result) {
    const bool failed = result == kPortCallFailed;
    sink_.Write(FormatTraceLine(MonotonicMicros(), port_, direction, exchange,
                                static_cast<const std::uint8_t*>(bytes), failed ? 0 : result,
                                failed));
}

}  // namespace bootproto
