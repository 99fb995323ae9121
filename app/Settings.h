#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The program's settings: named values below one key, "SOFTWARE\Vardeno\dsPicBootloader"
// (product::kSettingsKey) for every caller. Value names compare exactly, case included.
// All four return 0 on success and -1 on failure.
//
// On Linux the values live in the registry-export text file $XDG_CONFIG_HOME/Vardeno/registry.reg.
// A value the user's file does not hold is read from the machine-wide file the installation
// wrote (see SettingsLocation.h); a file that exists but cannot be read, is larger than 1 MiB,
// or is not a settings file, makes the reads that reach it fail. Writes go to the user's file
// only, and never to one the user may not write or that is marked read-only.

inline constexpr std::size_t kSettingTextBytes = 260;  // the read buffer, terminator included

// 0: `buffer` (kSettingTextBytes long) holds the string value. -1: it holds the empty text;
// also for a value of another type or one of kSettingTextBytes characters or more.
int ReadSettingString(char* buffer, const char* subkey, const char* valueName);
// Why ReadSettingString of the value fails, in words a user can act on: which settings file is
// unusable and what is wrong with it, that the value is missing, or that it is no text or too
// long. Empty when the read succeeds.
std::string SettingStringProblem(const char* subkey, const char* valueName);

// The files the settings are read from, the user's first; none where they live in a registry.
std::vector<std::string> SettingsFiles();

// 0: `value` holds the number value. -1: it holds -1; also for a value of another type.
int ReadSettingDword(std::int32_t* value, const char* subkey, const char* valueName);

// 0: the value holds the text (the key is created when missing). -1: nothing was written; also
// for a text with a line break, which the file cannot hold, and when the user's file is not a
// settings file or is read-only, which is then left as it is.
int WriteSettingString(const char* text, const char* subkey, const char* valueName);

// 0: the value holds the number. -1: nothing was written.
int WriteSettingDword(std::uint32_t value, const char* subkey, const char* valueName);
