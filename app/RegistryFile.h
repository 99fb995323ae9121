#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One value as a settings file holds it.
struct RegistryValue {
    enum class Type { String, Dword, Unreadable };
    Type type = Type::Unreadable;
    std::string text;          // String
    std::uint32_t number = 0;  // Dword
};

// A settings file in the registry-export text form:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Vardeno\dsPicBootloader]
//   "path"="/usr/share/pelorant"
//   "alert"=dword:00000001
//
// Strings escape \ and " with a backslash; @ names the key's unnamed value. Lines it does not
// understand (comments, other value types, damaged lines) are kept as they are, and every line a
// rewrite does not touch is written back byte for byte, line ends included. A backslash at the
// end of a line continues only hex data (hex: and hex(n): values), the one kind of value the
// form spreads over lines. Key names compare without regard to case, value names exactly.
//
// The file is kept as its text, and each look-up walks it: memory stays the size of the file,
// whatever its lines.
class RegistryFile {
public:
    // Empty or blank text gives an empty file; text whose first line is not REGEDIT4 gives none.
    static std::optional<RegistryFile> Parse(std::string text);

    // The first value named `name` in the sections of `key` ("SOFTWARE\...", below
    // HKEY_LOCAL_MACHINE), in file order.
    std::optional<RegistryValue> Find(const std::string& key, const std::string& name) const;

    // Replaces the first value named `name` in place, or adds it to the key, creating the key's
    // section at the end when there is none. False, and nothing changed, for a name, key or
    // text with a line break, which the form cannot hold.
    bool Set(const std::string& key, const std::string& name, const RegistryValue& value);

    const std::string& Serialize() const { return text_; }

private:
    // One line as the form reads it: a value's hex data may go on over following lines.
    struct Line {
        std::size_t begin = 0;  // its first byte
        std::size_t end = 0;    // just past its last byte, its own line end excluded
        std::size_t next = 0;   // where the next line begins
        bool section = false;
        std::string key;  // section: the full key path
        bool value = false;
        std::string name;    // value
        RegistryValue data;  // value
    };

    // The line beginning at `begin`; the first line is read as plain text.
    Line LineAt(std::size_t begin) const;
    std::size_t FirstLine() const;
    std::string NewLineEnding() const;
    // Gives a last line without a line end one.
    void EndLastLine();

    std::string text_;
};
