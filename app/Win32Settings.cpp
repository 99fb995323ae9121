// The settings in the Windows registry: the user's own values under HKEY_CURRENT_USER, the
// machine-wide defaults that the installation writes under HKEY_LOCAL_MACHINE, both below the
// same key. A read takes the value from the first of the two that holds its name; writes go to
// the user's key, which needs no administrator rights.
#include <windows.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/Settings.h"

namespace {

// Where a value was found: the hive, and its index in the key's value list.
struct Found {
    HKEY key = nullptr;
    DWORD index = 0;
};

// Registry names compare without regard to case; these settings are looked up by the exact
// name, so the key's values are walked and compared byte for byte.
bool FindValue(HKEY key, const char* valueName, DWORD& index) {
    for (DWORD i = 0;; ++i) {
        char name[kSettingTextBytes];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return false;
        }
        if (std::strcmp(name, valueName) == 0) {
            index = i;
            return true;
        }
    }
}

// The open key of the first hive that holds `valueName`; null when none does.
Found Locate(const char* subkey, const char* valueName) {
    Found found;
    if (subkey == nullptr || valueName == nullptr) return found;
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(hive, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
        if (FindValue(key, valueName, found.index)) {
            found.key = key;
            return found;
        }
        RegCloseKey(key);
    }
    return found;
}

// Fetches the value at `found` into `data` when it has type `type` and fits `size` bytes.
bool Fetch(const Found& found, DWORD type, void* data, DWORD& size) {
    char name[kSettingTextBytes];
    DWORD length = sizeof name;
    DWORD stored = REG_NONE;
    const LSTATUS status = RegEnumValueA(found.key, found.index, name, &length, nullptr, &stored,
                                         static_cast<BYTE*>(data), &size);
    RegCloseKey(found.key);
    return status == ERROR_SUCCESS && stored == type;
}

int Write(const char* subkey, const char* valueName, DWORD type, const void* data, DWORD size) {
    if (subkey == nullptr || valueName == nullptr) return -1;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return -1;
    }
    const LSTATUS status =
        RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : -1;
}

}  // namespace

int ReadSettingString(char* buffer, const char* subkey, const char* valueName) {
    if (buffer == nullptr) return -1;
    buffer[0] = '\0';
    const Found found = Locate(subkey, valueName);
    if (found.key == nullptr) return -1;
    // One byte more than a setting may hold, so that a stored string without its terminator
    // still gets one, and a longer one is refused rather than cut.
    char text[kSettingTextBytes + 1] = {};
    DWORD size = kSettingTextBytes;
    if (!Fetch(found, REG_SZ, text, size)) return -1;
    const std::size_t length = strnlen(text, size);
    if (length >= kSettingTextBytes) return -1;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return 0;
}

std::string SettingStringProblem(const char* subkey, const char* valueName) {
    const std::string setting = "the setting \"" + std::string(valueName ? valueName : "") + "\"";
    const Found found = Locate(subkey, valueName);
    if (found.key == nullptr) return setting + " is missing";
    RegCloseKey(found.key);
    char text[kSettingTextBytes];
    if (ReadSettingString(text, subkey, valueName) != 0) {
        return setting + " is no text of at most " + std::to_string(kSettingTextBytes - 1) +
               " characters";
    }
    return {};
}

std::vector<std::string> SettingsFiles() {
    return {};
}

int ReadSettingDword(std::int32_t* value, const char* subkey, const char* valueName) {
    if (value == nullptr) return -1;
    *value = -1;
    const Found found = Locate(subkey, valueName);
    if (found.key == nullptr) return -1;
    DWORD number = 0;
    DWORD size = sizeof number;
    if (!Fetch(found, REG_DWORD, &number, size) || size != sizeof number) return -1;
    *value = static_cast<std::int32_t>(number);
    return 0;
}

int WriteSettingString(const char* text, const char* subkey, const char* valueName) {
    if (text == nullptr) return -1;
    return Write(subkey, valueName, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1));
}

int WriteSettingDword(std::uint32_t value, const char* subkey, const char* valueName) {
    const DWORD number = value;
    return Write(subkey, valueName, REG_DWORD, &number, sizeof number);
}
