#include "serial/ModeText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

namespace lunvik {
namespace {

bool ParseNumber(std::string_view text, unsigned long& value) {
    const char* end = text.data() + text.size();
    auto [last, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && last == end && !text.empty();
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool ApplySetting(std::string_view key, std::string_view value, SerialLineSettings& settings) {
    unsigned long number = 0;
    if (EqualsIgnoringCase(key, "baud")) {
        if (!ParseNumber(value, number) || number == 0) return false;
        settings.baudRate = number;
        return true;
    }
    if (EqualsIgnoringCase(key, "parity")) {
        if (value.size() != 1) return false;
        const char parity = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
        if (std::string_view("NEOMS").find(parity) == std::string_view::npos) return false;
        settings.parity = parity;
        return true;
    }
    if (EqualsIgnoringCase(key, "data")) {
        if (!ParseNumber(value, number) || number < 5 || number > 8) return false;
        settings.dataBits = static_cast<unsigned>(number);
        return true;
    }
    if (EqualsIgnoringCase(key, "stop")) {
        if (!ParseNumber(value, number) || (number != 1 && number != 2)) return false;
        settings.stopBits = static_cast<unsigned>(number);
        return true;
    }
    return false;
}

}  // namespace

bool ParseModeText(const char* text, SerialLineSettings& settings) {
    if (text == nullptr) return false;
    SerialLineSettings parsed = settings;
    std::string_view rest(text);
    bool any = false;
    while (true) {
        const std::size_t start = rest.find_first_not_of(" \t");
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        const std::size_t length = std::min(rest.find_first_of(" \t"), rest.size());
        const std::string_view token = rest.substr(0, length);
        rest.remove_prefix(length);
        const std::size_t equals = token.find('=');
        if (equals == std::string_view::npos) return false;
        if (!ApplySetting(token.substr(0, equals), token.substr(equals + 1), parsed)) return false;
        any = true;
    }
    if (!any) return false;
    settings = parsed;
    return true;
}

}  // namespace lunvik
