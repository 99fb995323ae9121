#include "control/SerialStock.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <set>
#include <sstream>

#include "common/StateFile.h"

namespace {

std::string Trimmed(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::optional<std::uint64_t> ParseWholeNumber(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos) {
        return std::nullopt;
    }
    errno = 0;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno == ERANGE) return std::nullopt;
    return static_cast<std::uint64_t>(value);
}

std::string FormatSerialState(const SerialState& state) {
    std::string text = (state.list ? "next-in-list " : "next ") + std::to_string(state.next) + "\n";
    for (const std::uint64_t number : state.returned) {
        text += "returned " + std::to_string(number) + "\n";
    }
    return text;
}

std::optional<SerialState> ParseSerialState(const std::string& text, std::string& reason) {
    SerialState state;
    std::set<std::uint64_t> returned;
    bool nextSeen = false;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const std::string item = Trimmed(line);
        if (item.empty()) continue;
        const std::size_t blank = item.find(' ');
        const std::string key = item.substr(0, blank);
        const auto value = blank == std::string::npos
                               ? std::nullopt
                               : ParseWholeNumber(Trimmed(item.substr(blank)));
        const bool next = key == "next" || key == "next-in-list";
        if (!value || (!next && key != "returned") || (next && nextSeen)) {
            reason = "line " + std::to_string(number) + " is not 'next N', 'next-in-list N' " +
                     "or 'returned N'" + (next && nextSeen ? " (a second next)" : "");
            return std::nullopt;
        }
        if (next) {
            nextSeen = true;
            state.list = key == "next-in-list";
            state.next = *value;
        } else {
            returned.insert(*value);
        }
    }
    if (!nextSeen) {
        reason = "no line 'next N'";
        return std::nullopt;
    }
    state.returned.assign(returned.begin(), returned.end());
    return state;
}

std::optional<std::vector<std::uint64_t>> ParseSerialList(const std::string& text,
                                                          std::string& reason) {
    std::vector<std::uint64_t> numbers;
    std::set<std::uint64_t> seen;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        const std::string item = Trimmed(line);
        if (item.empty() || item.front() == '#') continue;
        const auto value = ParseWholeNumber(item);
        const std::string at = "line " + std::to_string(lineNumber) + ": ";
        if (!value) {
            reason = at + "'" + item + "' is not a number";
            return std::nullopt;
        }
        if (!seen.insert(*value).second) {
            reason = at + item + " is in the list twice";
            return std::nullopt;
        }
        numbers.push_back(*value);
    }
    if (numbers.empty()) {
        reason = "the list holds no number";
        return std::nullopt;
    }
    return numbers;
}

SerialStock::SerialStock(SerialSource source, std::string statePath, std::uint64_t largest)
    : source_(std::move(source)),
      statePath_(std::move(statePath)),
      lockPath_(statePath_ + ".lock"),
      largest_(largest) {}

std::optional<SerialState> SerialStock::ReadState(std::string& reason) const {
    std::optional<std::string> text;
    if (!ReadStateFile(statePath_, text, reason)) return std::nullopt;
    const bool list = !source_.list.empty();
    if (!text) return SerialState{list, list ? 0 : source_.start, {}};
    std::string why;
    std::optional<SerialState> state = ParseSerialState(*text, why);
    if (!state) {
        reason = "the serial number state " + statePath_ + ": " + why;
        return std::nullopt;
    }
    if (state->list != list) {
        reason = "the serial number state " + statePath_ + " counts " +
                 (state->list ? "the numbers of a list (--serial-list)"
                              : "a sequence of numbers (--serial)");
        return std::nullopt;
    }
    // A start beyond the file's next moves the sequence on; it never goes back.
    if (!list) state->next = std::max(state->next, source_.start);
    return state;
}

bool SerialStock::SaveState(const SerialState& state, std::string& reason) const {
    std::string why;
    if (ReplaceStateFile(statePath_, FormatSerialState(state), why)) return true;
    reason = "the serial number state cannot be saved: " + why;
    return false;
}

std::optional<std::uint64_t> SerialStock::Take(std::string& reason) {
    std::lock_guard<std::mutex> threads(mutex_);
    const std::unique_ptr<FileLock> lock = FileLock::Take(lockPath_, reason);
    if (!lock) return std::nullopt;
    std::optional<SerialState> state = ReadState(reason);
    if (!state) return std::nullopt;

    std::uint64_t number = 0;
    if (!state->returned.empty()) {
        number = state->returned.front();
        state->returned.erase(state->returned.begin());
    } else if (state->list) {
        if (state->next >= source_.list.size()) {
            reason =
                "every number of the list was given (" + std::to_string(source_.list.size()) + ")";
            return std::nullopt;
        }
        number = source_.list[state->next++];
    } else {
        number = state->next;
        if (number <= largest_ && UINT64_MAX - number < source_.step) {
            reason =
                "the sequence ends at " + std::to_string(number) + ": the next is beyond 64 bits";
            return std::nullopt;
        }
        state->next = number + source_.step;
    }
    if (number > largest_) {
        reason = "the serial number " + std::to_string(number) +
                 " does not fit in its words (at most " + std::to_string(largest_) + ")";
        return std::nullopt;
    }
    if (!SaveState(*state, reason)) return std::nullopt;
    return number;
}

bool SerialStock::GiveBack(std::uint64_t number, std::string& reason) {
    std::lock_guard<std::mutex> threads(mutex_);
    const std::unique_ptr<FileLock> lock = FileLock::Take(lockPath_, reason);
    if (!lock) return false;
    std::optional<SerialState> state = ReadState(reason);
    if (!state) return false;
    auto& returned = state->returned;
    returned.insert(std::lower_bound(returned.begin(), returned.end(), number), number);
    returned.erase(std::unique(returned.begin(), returned.end()), returned.end());
    return SaveState(*state, reason);
}
