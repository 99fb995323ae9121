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

// One line of the text as it stands: `end` excludes its line end ("\n", "\r\n", or a "\r"
// that ends the text), `next` is where the following line begins.
struct TextLine {
    std::size_t end;
    std::size_t next;
};

TextLine TextLineAt(const std::string& text, std::size_t begin) {
    const std::size_t newline = text.find('\n', begin);
    TextLine line{newline == std::string::npos ? text.size() : newline,
                  newline == std::string::npos ? text.size() : newline + 1};
    if (line.end > begin && text[line.end - 1] == '\r') --line.end;
    return line;
}

bool IsBlank(const std::string& text, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] != ' ' && text[i] != '\t') return false;
    }
    return true;
}

}  // namespace

std::size_t RegistryFile::FirstLine() const {
    return text_.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
}

RegistryFile::Line RegistryFile::LineAt(std::size_t begin) const {
    const TextLine first = TextLineAt(text_, begin);
    Line line;
    line.begin = begin;
    line.end = first.end;
    line.next = first.next;
    if (begin == FirstLine()) return line;
    const std::string text = Trim(text_.substr(begin, first.end - begin));
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
    if (text.compare(0, 1, "@") == 0) {
        pos = 1;
    } else {
        std::optional<std::string> quoted = ReadQuoted(text, pos);
        if (!quoted) return line;
        line.name = *quoted;
    }
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (pos >= text.size() || text[pos] != '=') {
        line.name.clear();
        return line;
    }
    line.value = true;
    const std::string data = Trim(text.substr(pos + 1));
    line.data = ParseData(data);
    // Long hex values go on over lines that end with a backslash; nothing else does.
    if (!IsHexData(data)) return line;
    while (line.end > line.begin && text_[line.end - 1] == '\\' && line.next < text_.size()) {
        const TextLine more = TextLineAt(text_, line.next);
        line.end = more.end;
        line.next = more.next;
    }
    return line;
}

std::optional<RegistryFile> RegistryFile::Parse(std::string text) {
    RegistryFile file;
    file.text_ = std::move(text);
    const std::size_t first = file.FirstLine();
    bool blank = true;
    for (std::size_t at = first; at < file.text_.size() && blank;) {
        const TextLine line = TextLineAt(file.text_, at);
        blank = IsBlank(file.text_, at, line.end);
        at = line.next;
    }
    if (blank) {
        file.text_ = std::string(kHeader) + "\n\n";
        return file;
    }
    const TextLine header = TextLineAt(file.text_, first);
    if (Trim(file.text_.substr(first, header.end - first)) != kHeader) return std::nullopt;
    return file;
}

std::optional<RegistryValue> RegistryFile::Find(const std::string& key,
                                                const std::string& name) const {
    const std::string path = kRootKey + key;
    bool inKey = false;
    for (std::size_t at = FirstLine(); at < text_.size();) {
        const Line line = LineAt(at);
        if (line.section) inKey = SameKey(line.key, path);
        if (inKey && line.value && line.name == name) return line.data;
        at = line.next;
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
    const std::string written =
        (name.empty() ? std::string("@") : Quote(name)) + "=" + FormatData(value);

    bool inKey = false;
    std::optional<std::size_t> endOfKey;  // just past the key's last value or section line
    Line last;
    for (std::size_t at = FirstLine(); at < text_.size(); at = last.next) {
        last = LineAt(at);
        if (last.section) {
            inKey = SameKey(last.key, path);
            if (inKey && !endOfKey) endOfKey = last.next;
        }
        if (!inKey || !last.value) continue;
        if (last.name == name) {
            text_.replace(last.begin, last.end - last.begin, written);
            return true;
        }
        endOfKey = last.next;
    }
    if (!endOfKey) {
        EndLastLine();
        if (!Trim(text_.substr(last.begin, last.end - last.begin)).empty()) {
            text_ += NewLineEnding();
        }
        text_ += "[" + path + "]" + NewLineEnding();
        endOfKey = text_.size();
    }
    if (*endOfKey == text_.size()) {
        EndLastLine();
        endOfKey = text_.size();
    }
    text_.insert(*endOfKey, written + NewLineEnding());
    return true;
}

std::string RegistryFile::NewLineEnding() const {
    const std::size_t first = FirstLine();
    const TextLine header = TextLineAt(text_, first);
    return text_.compare(header.end, header.next - header.end, "\r\n") == 0 ? "\r\n" : "\n";
}

// A text that ends in a lone "\r" ends its last line with half of a "\r\n": the "\n" follows.
void RegistryFile::EndLastLine() {
    if (text_.empty() || text_.back() == '\n') return;
    text_ += text_.back() == '\r' ? std::string("\n") : NewLineEnding();
}
