#include "ui/pages/PortChoice.h"

#include <cctype>
#include <climits>

namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

// atoi without its undefined overflow: blanks, sign, digits.
int ParseLeadingInteger(const std::string& text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) return 0;
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

int FindPrefixFrom(const std::vector<std::string>& items, const std::string& prefix, int start) {
    const int count = static_cast<int>(items.size());
    if (count == 0) return -1;
    const int first = start >= 0 && start < count ? start : 0;
    for (int step = 0; step < count; ++step) {
        const int index = (first + step) % count;
        if (StartsWithIgnoringCase(items[index], prefix)) return index;
    }
    return -1;
}

int PortNumberFromName(const std::string& portName) {
    if (portName.size() < 3) return 0;
    return ParseLeadingInteger(portName, 3);
}

int BaudRateFromText(const std::string& text) {
    return ParseLeadingInteger(text, 0);
}

const std::vector<std::string>& OfferedBaudRates() {
    static const std::vector<std::string> rates = {"9600", "19200", "38400", "57600", "115200"};
    return rates;
}
