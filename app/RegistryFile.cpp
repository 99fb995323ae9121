#include "app/RegistryFile.h"

#include <cstdio>

namespace {

constexpr const char* kHeader = "REGEDIT4";
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kRootKey = "HKEY_LOCAL_MACHINE\\";
constexpr std::size_t kMaxDwordDigits = 8;

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameKey(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// Reads a quoted text starting at `pos` (on the opening quote); on success `pos` is just past
// the closing quote.
std::optional<std::string> ReadQuoted(const std::string& line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"') return std::nullopt;
    std::string text;
    for (std::size_t i = pos + 1; i < line.size(); ++i) {
        if (line[i] == '"') {
            pos = i + 1;
            return text;
        }
        if (line[i] == '\\') {
            if (i + 1 >= line.size() || (line[i + 1] != '\\' && line[i + 1] != '"')) {
                return std::nullopt;
            }
            ++i;
        }
        text.push_back(line[i]);
    }
    return std::nullopt;
}

// Whether a value's data is hex data: hex:… or hex(n):…
bool IsHexData(const std::string& data) {
    return data.size() >= 4 && LowerAscii(data[0]) == 'h' && LowerAscii(data[1]) == 'e' &&
           LowerAscii(data[2]) == 'x' && (data[3] == ':' || data[3] == '(');
}

std::string Quote(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted.push_back('\\');
        quoted.push_back(c);
    }
    return quoted + "\"";
}

RegistryValue ParseData(const std::string& data) {
    RegistryValue value;
    if (!data.empty() && data[0] == '"') {
        std::size_t pos = 0;
        std::optional<std::string> text = ReadQuoted(data, pos);
        if (text && Trim(data.substr(pos)).empty()) {
            value.type = RegistryValue::Type::String;
            value.text = *text;
        }
        return value;
    }
    const std::string prefix = "dword:";
    const std::string digits = Trim(data.substr(std::min(data.size(), prefix.size())));
    if (!SameKey(data.substr(0, prefix.size()), prefix) || digits.empty() ||
        digits.size() > kMaxDwordDigits) {
        return value;
    }
    std::uint32_t number = 0;
    for (char c : digits) {
        const char lower = LowerAscii(c);
        unsigned digit = 0;
        if (lower >= '0' && lower <= '9') {
            digit = static_cast<unsigned>(lower - '0');
        } else if (lower >= 'a' && lower <= 'f') {
            digit = static_cast<unsigned>(lower - 'a' + 10);
        } else {
            return value;
        }
        number = number << 4 | digit;
    }
    value.type = RegistryValue::Type::Dword;
    value.number = number;
    return value;
}

std::string FormatData(const RegistryValue& value) {
    if (value.type == RegistryValue::Type::String) return Quote(value.text);
    char text[32];
    std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(value.number));
    return text;
}

}  // namespace

RegistryFile::Line RegistryFile::PlainLine(const std::string& raw) {
    Line line;
    line.raw = raw;
    return line;
}

RegistryFile::Line RegistryFile::ParseLine(const std::string& raw) {
    Line line = PlainLine(raw);
    const std::string text = Trim(raw);
    if (text.find('\0') != std::string::npos) return line;
    if (!text.empty() && text[0] == '[') {
        const std::size_t close = text.rfind(']');
        if (close != std::string::npos && close > 1) {
            line.section = true;
            line.key = text.substr(1, close - 1);
        }
        return line;
    }
    std::size_t pos = 0;
    std::string name;
    if (text.compare(0, 1, "@") == 0) {
        pos = 1;
    } else {
        std::optional<std::string> quoted = ReadQuoted(text, pos);
        if (!quoted) return line;
        name = *quoted;
    }
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (pos >= text.size() || text[pos] != '=') return line;
    line.value = true;
    line.name = name;
    const std::string data = Trim(text.substr(pos + 1));
    line.data = ParseData(data);
    line.hexData = IsHexData(data);
    return line;
}

std::optional<RegistryFile> RegistryFile::Parse(const std::string& text) {
    struct RawLine {
        std::string text;
        std::string ending;
    };
    std::vector<RawLine> rawLines;
    RegistryFile file;
    std::size_t start = 0;
    if (text.compare(0, 3, kByteOrderMark) == 0) {
        file.byteOrderMark_ = kByteOrderMark;
        start = 3;
    }
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        RawLine raw;
        if (newline == std::string::npos) {
            raw.text = text.substr(start);
            start = text.size();
        } else {
            raw.text = text.substr(start, newline - start);
            raw.ending = "\n";
            start = newline + 1;
        }
        if (!raw.text.empty() && raw.text.back() == '\r') {
            raw.text.pop_back();
            raw.ending.insert(0, "\r");
        }
        rawLines.push_back(std::move(raw));
    }
    bool blank = true;
    for (const RawLine& raw : rawLines) blank = blank && Trim(raw.text).empty();
    if (blank) {
        file.byteOrderMark_.clear();
        file.lines_ = {PlainLine(kHeader), Line{}};
        for (Line& line : file.lines_) line.ending = "\n";
        return file;
    }
    if (Trim(rawLines.front().text) != kHeader) return std::nullopt;
    for (std::size_t i = 0; i < rawLines.size(); ++i) {
        Line line = i == 0 ? PlainLine(rawLines[i].text) : ParseLine(rawLines[i].text);
        line.ending = rawLines[i].ending;
        // Long hex values go on over lines that end with a backslash; nothing else does.
        while (line.hexData && !line.raw.empty() && line.raw.back() == '\\' &&
               i + 1 < rawLines.size()) {
            ++i;
            line.raw += line.ending + rawLines[i].text;
            line.ending = rawLines[i].ending;
        }
        file.lines_.push_back(std::move(line));
    }
    return file;
}

std::optional<RegistryValue> RegistryFile::Find(const std::string& key,
                                                const std::string& name) const {
    const std::string path = kRootKey + key;
    bool inKey = false;
    for (const Line& line : lines_) {
        if (line.section) inKey = SameKey(line.key, path);
        if (inKey && line.value && line.name == name) return line.data;
    }
    return std::nullopt;
}

bool RegistryFile::Set(const std::string& key, const std::string& name,
                       const RegistryValue& value) {
    if (value.type == RegistryValue::Type::Unreadable || HasLineBreak(key) || HasLineBreak(name) ||
        HasLineBreak(value.text)) {
        return false;
    }
    const std::string path = kRootKey + key;
    Line written;
    written.raw = (name.empty() ? std::string("@") : Quote(name)) + "=" + FormatData(value);
    written.ending = NewLineEnding();
    written.value = true;
    written.name = name;
    written.data = value;

    bool inKey = false;
    std::optional<std::size_t> endOfKey;  // just past the key's last value or section line
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        Line& line = lines_[i];
        if (line.section) {
            inKey = SameKey(line.key, path);
            if (inKey && !endOfKey) endOfKey = i + 1;
        }
        if (!inKey || !line.value) continue;
        if (line.name == name) {
            written.ending = line.ending;
            line = std::move(written);
            return true;
        }
        endOfKey = i + 1;
    }
    // A file whose last line has no end gets one before anything follows it.
    const auto endLastLine = [this] {
        if (!lines_.empty() && lines_.back().ending.empty()) lines_.back().ending = NewLineEnding();
    };
    if (!endOfKey) {
        endLastLine();
        if (!lines_.empty() && !Trim(lines_.back().raw).empty()) {
            Line blank;
            blank.ending = NewLineEnding();
            lines_.push_back(std::move(blank));
        }
        Line section;
        section.raw = "[" + path + "]";
        section.ending = NewLineEnding();
        section.section = true;
        section.key = path;
        lines_.push_back(std::move(section));
        endOfKey = lines_.size();
    }
    if (*endOfKey == lines_.size()) endLastLine();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*endOfKey), std::move(written));
    return true;
}

std::string RegistryFile::NewLineEnding() const {
    return !lines_.empty() && lines_.front().ending == "\r\n" ? "\r\n" : "\n";
}

std::string RegistryFile::Serialize() const {
    std::string text = byteOrderMark_;
    for (const Line& line : lines_) text += line.raw + line.ending;
    return text;
}
