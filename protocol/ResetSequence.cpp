#include "protocol/ResetSequence.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace bootproto {

namespace {

using Kind = ResetStep::Kind;

ResetStep Drive(SerialModemLine line, bool asserted) {
    return {Kind::Drive, line, asserted, {}};
}

ResetStep Wait(std::chrono::milliseconds wait) {
    return {Kind::Wait, SerialModemLine::Dtr, false, wait};
}

// A line pulsed for kResetPulse: asserted then released, or the other way round.
void AddPulse(std::vector<ResetStep>& steps, SerialModemLine line, bool inverted) {
    steps.push_back(Drive(line, !inverted));
    steps.push_back(Wait(kResetPulse));
    steps.push_back(Drive(line, inverted));
}

std::optional<SerialModemLine> LineNamed(std::string_view name) {
    if (name == "dtr") return SerialModemLine::Dtr;
    if (name == "rts") return SerialModemLine::Rts;
    return std::nullopt;
}

bool ParseWait(std::string_view text, std::chrono::milliseconds& wait) {
    long long ms = 0;
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, ms);
    if (text.empty() || status != std::errc{} || stop != end || ms < 0 ||
        ms > kLongestResetWait.count()) {
        return false;
    }
    wait = std::chrono::milliseconds(ms);
    return true;
}

bool ParseItem(std::string_view item, std::vector<ResetStep>& steps) {
    const std::size_t equals = item.find('=');
    const std::string_view name = item.substr(0, equals);
    if (equals == std::string_view::npos) {
        const bool inverted = name.ends_with("-inverted");
        const auto line = LineNamed(inverted ? name.substr(0, name.size() - 9) : name);
        if (!line) return false;
        AddPulse(steps, *line, inverted);
        return true;
    }
    const std::string_view value = item.substr(equals + 1);
    if (name == "wait") {
        std::chrono::milliseconds wait{};
        if (!ParseWait(value, wait)) return false;
        steps.push_back(Wait(wait));
        return true;
    }
    const auto line = LineNamed(name);
    if (!line || (value != "0" && value != "1")) return false;
    steps.push_back(Drive(*line, value == "1"));
    return true;
}

}  // namespace

std::optional<ResetSequence> ParseResetSequence(std::string_view text, std::string* error) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    ResetSequence sequence;
    std::string_view rest = lower;
    for (;;) {
        const std::size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        if (!ParseItem(item, sequence.steps)) {
            if (error) {
                *error = "'" + std::string(item) +
                         "' is not dtr, rts, dtr-inverted, rts-inverted, dtr=0|1, rts=0|1 or "
                         "wait=MS (0 to " +
                         std::to_string(kLongestResetWait.count()) + ")";
            }
            return std::nullopt;
        }
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    const bool drivesALine =
        std::any_of(sequence.steps.begin(), sequence.steps.end(),
                    [](const ResetStep& step) { return step.kind == Kind::Drive; });
    if (!drivesALine) {
        if (error) *error = "'" + std::string(text) + "' drives neither DTR nor RTS";
        return std::nullopt;
    }
    return sequence;
}

bool PlayResetSequence(const ResetSequence& sequence, ModemLines& lines, const ResetSleep& sleep) {
    for (const ResetStep& step : sequence.steps) {
        if (step.kind == Kind::Wait) {
            sleep(step.wait);
        } else if (!lines.Drive(step.line, step.asserted)) {
            return false;
        }
    }
    return true;
}

}  // namespace bootproto
