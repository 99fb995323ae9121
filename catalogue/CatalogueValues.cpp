#include "catalogue/CatalogueValues.h"

#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The text without the blanks around it.
std::string Trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::uint32_t> ParseCatalogueHex(const std::string& text) {
    const std::string number = Trimmed(text);
    std::size_t i = 0;
    if (number.compare(0, 2, "0x") == 0 || number.compare(0, 2, "0X") == 0) i = 2;
    if (i == number.size()) return std::nullopt;
    std::uint64_t value = 0;
    for (; i < number.size(); ++i) {
        const int digit = HexDigit(number[i]);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::int32_t> ParseCatalogueDecimal(const std::string& text) {
    const std::string number = Trimmed(text);
    std::size_t i = 0;
    const bool negative = !number.empty() && number[0] == '-';
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) i = 1;
    if (i == number.size()) return std::nullopt;
    std::int64_t magnitude = 0;
    for (; i < number.size(); ++i) {
        if (number[i] < '0' || number[i] > '9') return std::nullopt;
        magnitude = magnitude * 10 + (number[i] - '0');
        if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            return std::nullopt;
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}
