#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

#include "app/BootloaderApp.h"
#include "app/ComPorts.h"
#include "app/OsKind.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "app/StartupPages.h"
#include "common/Product.h"

namespace {

constexpr const char* kInstanceName = "PelorantAlreadyRunning";

void ShowFailure(IStartupPages& pages, const char* text, BoxIcon icon) {
    pages.Boxes().Show(text, product::kProgramName, icon, BoxButtons::Ok);
}

// "alert" = 1 brings the power-off reminder back on the next start.
void RememberAlert() {
    WriteSettingDword(1, product::kSettingsKey, "alert");
}

// The "path" setting followed by one separator; false when it cannot be read.
bool ReadWorkingPath(char (&workingPath)[261]) {
    char path[kSettingTextBytes] = {};
    if (ReadSettingString(path, product::kSettingsKey, "path") != 0) return false;
    const std::size_t length = std::strlen(path);
    std::memcpy(workingPath, path, length);
    workingPath[length] = '/';
    workingPath[length + 1] = '\0';
    return true;
}

}  // namespace

bool CBootloaderApp::InitInstance(IStartupPages& pages) {
    // Held while the program runs: this function is the whole program.
    const auto instance = SingleInstanceGuard::Acquire(kInstanceName);
    if (!instance) {
        ShowFailure(pages,
                    "There is another instance of vardeno dsPIC bootloader already runnig.\n"
                    "Close it before running another instance of this program.",
                    BoxIcon::Exclamation);
        return false;
    }

    m_osName = QueryOsName();

    if (!ReadWorkingPath(m_workingPath)) {
        ShowFailure(pages, "Failed while initializing registry (working path)", BoxIcon::Error);
        return false;
    }

    pages.ShowSplash();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));

    if (const auto failure = EnumerateComPorts(m_ports, m_portEnvironment)) {
        ShowFailure(pages, failure->c_str(), BoxIcon::Error);
        return false;
    }
    if (m_ports.Count() == 0) {
        ShowFailure(pages,
                    "No serial ports detected.\nThis software requires COM ports on your machine.",
                    BoxIcon::Error);
        return false;
    }

    const ConfigurationOutcome configuration = pages.ShowConfiguration();
    if (!configuration.confirmed) {
        RememberAlert();
        return false;
    }

    std::int32_t alert = 0;
    if (ReadSettingDword(&alert, product::kSettingsKey, "alert") != 0) {
        ShowFailure(pages, "Failed while initializing registry", BoxIcon::Error);
        return false;
    }
    if (alert != 0 && pages.ShowAlert()) {
        WriteSettingDword(0, product::kSettingsKey, "alert");
    }

    WriteSettingString(configuration.baudText.c_str(), product::kSettingsKey, "baudrate");
    WriteSettingString(configuration.comText.c_str(), product::kSettingsKey, "com");
    WriteSettingString(configuration.resetText.c_str(), product::kSettingsKey, "reset");

    if (!pages.ShowDetection()) {
        RememberAlert();
        return false;
    }

    pages.ShowMainWindow();
    return false;
}
