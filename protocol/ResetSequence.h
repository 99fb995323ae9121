#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "serial/CSerialPort.h"

// How a board is reset through the adapter's modem lines: the line levels to drive and the
// waits between them, played once the probing has started, so that the freshly reset
// bootloader finds the probes already coming.
namespace bootproto {

struct ResetStep {
    enum class Kind { Drive, Wait };
    Kind kind = Kind::Wait;
    SerialModemLine line = SerialModemLine::Dtr;  // with Drive
    bool asserted = false;                        // with Drive
    std::chrono::milliseconds wait{0};            // with Wait

    bool operator==(const ResetStep&) const = default;
};

struct ResetSequence {
    std::vector<ResetStep> steps;

    bool operator==(const ResetSequence&) const = default;
};

inline constexpr std::chrono::milliseconds kResetPulse{100};
inline constexpr std::chrono::milliseconds kLongestResetWait{10'000};

// "dtr" (DTR asserted for 100 ms, then released), "rts", "dtr-inverted" (released for 100 ms,
// then asserted), "rts-inverted", or a comma list of those and of dtr=0|1, rts=0|1 and
// wait=MS, as "dtr=0,rts=1,wait=50,dtr=1". Lines the text does not name are left alone.
// Empty with `error` set when the text is not such a sequence.
std::optional<ResetSequence> ParseResetSequence(std::string_view text, std::string* error);

// The lines a sequence is played on.
class ModemLines {
public:
    virtual ~ModemLines() = default;
    // False when the line could not be driven.
    virtual bool Drive(SerialModemLine line, bool asserted) = 0;
};

using ResetSleep = std::function<void(std::chrono::milliseconds)>;

// Plays every step in order, sleeping through the waits with `sleep`; stops at the first line
// that cannot be driven and returns false.
bool PlayResetSequence(const ResetSequence& sequence, ModemLines& lines, const ResetSleep& sleep);

}  // namespace bootproto
