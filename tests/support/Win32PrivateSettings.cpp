#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include "tests/support/PrivateSettings.h"

namespace testsupport {

namespace {

constexpr const char* kParentKey = "Software\\Pelorant tests";

std::string FreshKeyName() {
    static std::atomic<unsigned> count{0};
    return std::string(kParentKey) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(count++);
}

}  // namespace

// The program writes its settings to HKEY_CURRENT_USER only: for this process that hive is an
// empty key of its own until the object goes. HKEY_LOCAL_MACHINE keeps its place: only an
// installation writes the machine-wide defaults there (the Wine prefix of
// scripts/test-windows.sh is made afresh and has none), and redirecting it would take the
// system's own configuration, such as the network's, away from the process.
struct PrivateSettings::Place {
    std::string name;
    HKEY key = nullptr;
};

PrivateSettings::PrivateSettings(const std::filesystem::path&) : place_(new Place{FreshKeyName()}) {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, place_->name.c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &place_->key,
                        nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("RegCreateKeyEx " + place_->name);
    }
    if (RegOverridePredefKey(HKEY_CURRENT_USER, place_->key) != ERROR_SUCCESS) {
        RegCloseKey(place_->key);
        RegDeleteTreeA(HKEY_CURRENT_USER, place_->name.c_str());
        throw std::runtime_error("RegOverridePredefKey HKEY_CURRENT_USER");
    }
}

PrivateSettings::~PrivateSettings() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(place_->key);
    RegDeleteTreeA(HKEY_CURRENT_USER, place_->name.c_str());
    // Gone once the last test program's key is: it holds nothing else.
    RegDeleteKeyA(HKEY_CURRENT_USER, kParentKey);
}

}  // namespace testsupport
