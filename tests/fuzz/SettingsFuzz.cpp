// Any bytes as the user's settings file, then one value written through the settings
// operations: a write keeps every other line of the file, never changes or loses another
// value, and reads back as written; a file that is no settings file is left as it was.
//
// The first input byte chooses the write (value name, type, key); the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/RegistryFile.h"
#include "app/Settings.h"
#include "common/Product.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

constexpr const char* kOtherKey = "SOFTWARE\\Vardeno\\other";
const char* const kNames[] = {"path", "com", "baudrate", "alert"};
const char* const kKeys[] = {product::kSettingsKey, kOtherKey};

struct Reading {
    int stringResult;
    std::string text;
    int numberResult;
    std::int32_t number;
    bool operator==(const Reading&) const = default;
};

using Readings = std::vector<Reading>;  // by key, then name

Readings ReadAll() {
    Readings readings;
    for (const char* key : kKeys) {
        for (const char* name : kNames) {
            Reading reading{};
            char buffer[kSettingTextBytes];
            reading.stringResult = ReadSettingString(buffer, key, name);
            reading.text = buffer;
            reading.numberResult = ReadSettingDword(&reading.number, key, name);
            readings.push_back(reading);
        }
    }
    return readings;
}

struct Write {
    std::size_t key;
    std::size_t name;
    bool isString;
    std::string text;
    std::uint32_t number;
    std::string line;  // the value line the file gains
};

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') quoted.push_back('\\');
        quoted.push_back(c);
    }
    return quoted + "\"";
}

Write ChooseWrite(std::uint8_t selector) {
    Write write{};
    write.name = selector & 3u;
    write.isString = (selector & 4u) != 0;
    write.key = (selector & 8u) != 0 ? 1 : 0;
    write.text = (selector & 16u) != 0 ? "C:\\dir \"quoted\"\\" : "/opt/pelorant";
    write.number = 0x01010101u * selector;
    char dword[32];
    std::snprintf(dword, sizeof dword, "dword:%08x", static_cast<unsigned>(write.number));
    write.line = Quoted(kNames[write.name]) + "=" + (write.isString ? Quoted(write.text) : dword);
    return write;
}

int Perform(const Write& write) {
    const char* key = kKeys[write.key];
    const char* name = kNames[write.name];
    return write.isString ? WriteSettingString(write.text.c_str(), key, name)
                          : WriteSettingDword(write.number, key, name);
}

// The file's lines as a settings file has them: no byte-order mark, no line ends.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool Blank(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (!Trimmed(line).empty()) return false;
    }
    return true;
}

// `after` is `before` with one run of lines taken out: none, or the old line of the value
// written with the lines it continued over.
bool KeepsAllBut(const std::vector<std::string>& before, const std::vector<std::string>& after,
                 const std::string& quotedName) {
    if (after.size() > before.size()) return false;
    const std::size_t removed = before.size() - after.size();
    for (std::size_t p = 0; p <= after.size(); ++p) {
        if (p > 0 && after[p - 1] != before[p - 1]) break;
        bool suffixKept = true;
        for (std::size_t i = p; i < after.size() && suffixKept; ++i) {
            suffixKept = after[i] == before[i + removed];
        }
        if (!suffixKept) continue;
        if (removed == 0) return true;
        if (Trimmed(before[p]).rfind(quotedName, 0) != 0) continue;
        bool continued = true;
        for (std::size_t j = p + 1; j < p + removed && continued; ++j) {
            continued = !before[j - 1].empty() && before[j - 1].back() == '\\';
        }
        if (continued) return true;
    }
    return false;
}

// The rewritten file holds every line of the old one, less the old line of the value
// written; the value's line is new, and so is the key's section when the file had none.
void CheckLinesKept(const std::string& before, const std::string& after, const Write& write) {
    const std::vector<std::string> old = Lines(before);
    if (Blank(old)) return;
    const std::vector<std::string> now = Lines(after);
    const std::string section = std::string("[HKEY_LOCAL_MACHINE\\") + kKeys[write.key] + "]";
    const std::string quotedName = Quoted(kNames[write.name]);
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] != write.line) continue;
        std::vector<std::string> rest = now;
        rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i));
        if (KeepsAllBut(old, rest, quotedName)) return;
        if (rest.empty() || rest.back() != section) continue;
        rest.pop_back();
        if (KeepsAllBut(old, rest, quotedName)) return;
        if (rest.empty() || !Trimmed(rest.back()).empty()) continue;
        rest.pop_back();
        if (KeepsAllBut(old, rest, quotedName)) return;
    }
    FuzzFail(__FILE__, __LINE__, "the rewritten file keeps every other line");
}

const std::string& UserFile() {
    static const std::string path = [] {
        const auto config = fuzz::ScratchDir() / "config";
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (fuzz::ScratchDir() / "no-machine-files").c_str(), 1);
        std::filesystem::create_directories(config / "Vardeno");
        return (config / "Vardeno" / "registry.reg").string();
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string& path = UserFile();
    const std::string before(reinterpret_cast<const char*>(data) + 1, size - 1);
    fuzz::WriteFile(path, before);
    const Write write = ChooseWrite(data[0]);

    const Readings old = ReadAll();
    const int result = Perform(write);
    const std::string after = fuzz::ReadFile(path);
    if (!RegistryFile::Parse(before)) {
        FUZZ_CHECK(result == -1);
        FUZZ_CHECK(after == before);
        return 0;
    }
    FUZZ_CHECK(result == 0);

    Readings now = ReadAll();
    Reading& written = now[write.key * std::size(kNames) + write.name];
    if (write.isString) {
        FUZZ_CHECK(written.stringResult == 0 && written.text == write.text);
        FUZZ_CHECK(written.numberResult == -1);
    } else {
        FUZZ_CHECK(written.numberResult == 0 &&
                   written.number == static_cast<std::int32_t>(write.number));
        FUZZ_CHECK(written.stringResult == -1);
    }
    written = old[write.key * std::size(kNames) + write.name];
    FUZZ_CHECK(now == old);
    CheckLinesKept(before, after, write);

    // The same write again changes nothing.
    FUZZ_CHECK(Perform(write) == 0);
    FUZZ_CHECK(fuzz::ReadFile(path) == after);
    return 0;
}
