#include "control/CauseTexts.h"

#include <cstdio>

namespace {

// The row writer waits this long for a row's acknowledgement.
constexpr unsigned kAckWindowMs = 200;
constexpr unsigned kBitsPerByte = 10;

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string RowAt(const std::optional<std::uint32_t>& row) {
    return row ? "the row at " + Hex(*row, 6) : "a row";
}

// A slow line spends most of the acknowledgement window sending the row itself.
std::string SlowLineAdvice(const BlockFailure& failure) {
    if (failure.baud == 0 || failure.rowBytes == 0) return {};
    const std::size_t wireMs = failure.rowBytes * kBitsPerByte * 1000 / failure.baud;
    if (2 * wireMs < kAckWindowMs) return {};
    return " at " + std::to_string(failure.baud) +
           " a row needs most of that window on the wire: try 57600 or more";
}

}  // namespace

std::string BlockCause(const BlockFailure& failure) {
    switch (failure.code) {
        case BlockResult::FrameNotWritten:
            return "the port stopped sending (cable?)";
        case BlockResult::NoAck:
            return "no acknowledgement within " + std::to_string(kAckWindowMs) + " ms for " +
                   RowAt(failure.row) + " (board reset? baud rate?" + SlowLineAdvice(failure) + ")";
        case BlockResult::BadAck:
            return "the board refused " + RowAt(failure.row) +
                   (failure.reply ? " (byte " + Hex(*failure.reply, 2) + ")" : "");
        case BlockResult::RowSizeInvalid:
            return "the catalogue's row size cannot be framed; nothing was sent (check the "
                   "entry's instructionxrow)";
        case BlockResult::StrayInput:
            return "a byte no exchange asked for came in, so the acknowledgement of " +
                   RowAt(failure.row) + " cannot be trusted (is another program using the port?)";
        case BlockResult::PortLost:
            return PortLostCause();
        default:
            return "the write stopped with code " + std::to_string(Code(failure.code));
    }
}

std::string PortLostCause(const std::string& port) {
    return "the port " + (port.empty() ? std::string() : port + " ") +
           "went away (adapter unplugged or line hung up)";
}

std::string StoppedWriteText(const WriteOutcome& write) {
    if (write.blocks.empty()) return "no row was written";
    const BlockOutcome& last = write.blocks.back();
    const std::string written = std::to_string(last.rowsAcknowledged) + " rows of " +
                                kMemoryBlocks[last.block].name + " written";
    if (!last.failedRow) return written + ", nothing more sent";
    return written + "; " + RowAt(last.failedRow) +
           " was not acknowledged: part of its frame may have reached the board";
}

std::string SynchronismCause() {
    return "the board did not answer the synchronism check: it was reset or left its "
           "bootloader after the detection; reset it and try again";
}

std::string RunCommandCause() {
    return "the board did not answer the synchronism check, or the run command did not go "
           "out: reset the board and try again";
}

std::string DetectionCause(DetectionResult result, const std::string& port, unsigned seconds,
                           bool resetPlayed) {
    const std::string silent =
        "no bootloader answered on " + port + " within " + std::to_string(seconds) + " s";
    switch (result) {
        case DetectionResult::Stopped:
            if (resetPlayed) {
                return silent +
                       " of its reset through the modem lines: check which line resets the "
                       "board and whether it is inverted, the baud rate and the cable";
            }
            return silent +
                   ": reset the board while the detection waits, and check the baud rate "
                   "and the cable";
        case DetectionResult::Timeout:
            return "Timeout expired: the line went quiet during the detection";
        case DetectionResult::WriteError:
            return "Writing error: the identification request did not go out";
        case DetectionResult::PortLost:
            return PortLostCause(port);
        case DetectionResult::ResetFailed:
            return "the board on " + port + " could not be reset through the modem lines";
        case DetectionResult::AdapterEcho:
            return "the identification request came back exactly as sent: the adapter on " + port +
                   " echoes what it sends (a half-duplex adapter, or a loop-back plug instead "
                   "of the board), so no board's answer can be read; use an adapter without "
                   "local echo";
        default:
            return "Unknown error (" + std::to_string(Code(result)) + ")";
    }
}

std::string IdentificationCause(IdentifyResult result, const std::string& identifier,
                                const std::string& catalogue, const std::string& detail) {
    const std::string why = detail.empty() ? std::string() : " (" + detail + ")";
    switch (result) {
        case IdentifyResult::FirmwareFailed:
            return "the board was found but did not report its firmware version: reset it "
                   "and try again; a bootloader that never answers the version request (03) "
                   "is of another kind";
        case IdentifyResult::PortLost:
            return PortLostCause() + " while the board was asked for its firmware version";
        case IdentifyResult::DeviceNotFound:
            return "the board reports the id " + identifier + ", which " + catalogue +
                   " does not list: use a catalogue that has it (--workdir DIR)";
        case IdentifyResult::CatalogueUnreadable:
            return catalogue + " cannot be read as a device catalogue" + why +
                   ": check the file, or name the folder of a good one with --workdir DIR";
        case IdentifyResult::NoBootloader:
            return "the entry for " + identifier + " in " + catalogue +
                   " gives no bootloader range" + why +
                   ": without it rows could overwrite the bootloader, so nothing is written";
        case IdentifyResult::ProtectedMissing:
        case IdentifyResult::ProtectedNotOnRows:
        case IdentifyResult::ProtectedOutside:
            return "the entry for " + identifier + " in " + catalogue +
                   " has unusable protected addresses" + why + ": correct the entry";
        default:
            return "identification ended with code " + std::to_string(Code(result));
    }
}
