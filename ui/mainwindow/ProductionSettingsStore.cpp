#include "ui/mainwindow/ProductionSettingsStore.h"

#include <string>

#include "app/Settings.h"
#include "common/Product.h"

namespace {

// Numbers are kept as text: a serial number may take 64 bits.
std::string StoredText(const char* name) {
    char text[kSettingTextBytes] = {};
    if (ReadSettingString(text, product::kSettingsKey, name) != 0) return {};
    return text;
}

template <typename Number>
void ReadNumber(const char* name, Number& value, std::uint64_t largest) {
    const std::optional<std::uint64_t> stored = ParseWholeNumber(StoredText(name));
    if (stored && *stored <= largest) value = static_cast<Number>(*stored);
}

bool Store(const char* name, const std::string& text) {
    return WriteSettingString(text.c_str(), product::kSettingsKey, name) == 0;
}

}  // namespace

ProductionSettings ReadProductionSettings() {
    ProductionSettings settings;
    settings.serials = StoredText("serialnumbers") == "1";
    ReadNumber("serialstart", settings.start, UINT64_MAX);
    ReadNumber("serialstep", settings.step, UINT64_MAX);
    ReadNumber("serialaddress", settings.place.address, UINT32_MAX);
    ReadNumber("serialwords", settings.place.words, kMostSerialWords);
    settings.statePath = StoredText("serialstate");
    settings.reuseOnFail = StoredText("serialonfail") == "reuse";
    settings.logPath = StoredText("log");
    return settings;
}

bool SaveProductionSettings(const ProductionSettings& settings) {
    bool stored = Store("serialnumbers", settings.serials ? "1" : "0");
    stored &= Store("serialstart", std::to_string(settings.start));
    stored &= Store("serialstep", std::to_string(settings.step));
    stored &= Store("serialaddress", std::to_string(settings.place.address));
    stored &= Store("serialwords", std::to_string(settings.place.words));
    stored &= Store("serialstate", settings.statePath);
    stored &= Store("serialonfail", settings.reuseOnFail ? "reuse" : "burn");
    stored &= Store("log", settings.logPath);
    return stored;
}
