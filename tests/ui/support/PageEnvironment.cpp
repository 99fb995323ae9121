#include "tests/ui/support/PageEnvironment.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "app/BootloaderApp.h"
#include "app/Settings.h"
#include "common/Product.h"

namespace uitest {

namespace fs = std::filesystem;

PageEnvironment::PageEnvironment()
    : config_("XDG_CONFIG_HOME", (dir_.path() / "config").string()),
      machine_("XDG_CONFIG_DIRS", (dir_.path() / "machine").string()),
      runtime_("XDG_RUNTIME_DIR", (dir_.path() / "run").string()) {
    fs::create_directories(dir_.path() / "config");
    fs::create_directories(dir_.path() / "run");
    ::chmod((dir_.path() / "run").c_str(), 0700);
    ResetApplication();
}

PageEnvironment::~PageEnvironment() {
    ResetApplication();
}

void PageEnvironment::ResetApplication() {
    CBootloaderApp& app = theApp();
    app.m_serialPort.ClosePort();
    app.m_ports.RemoveAll();
    app.m_comNumber = 0;
    app.m_baudRate = 0;
    app.m_reset.clear();
    app.m_detectionParam.notifyWindow = nullptr;
    app.m_detectionParam.stop = 0;
    std::memset(app.m_device.name, 0, sizeof app.m_device.name);
    std::memset(app.m_firmwareVersion, 0, sizeof app.m_firmwareVersion);
    app.m_workingPath[0] = '\0';
}

void PageEnvironment::SetPorts(const std::vector<std::pair<std::string, std::string>>& ports) {
    theApp().m_ports.RemoveAll();
    for (const auto& [portName, friendlyName] : ports) {
        ComPortEntry entry;
        entry.portName = portName;
        entry.friendlyName = friendlyName;
        theApp().m_ports.Append(entry);
    }
}

std::unique_ptr<VirtualBoard> PageEnvironment::StartBoard(int comNumber, BoardOptions options) {
    options.cataloguePath = (CatalogueDirectory() / "qor_dspiclist.xml").string();
    if (options.device.empty()) options.device = kBoardDevice;
    options.comNumber = comNumber;
    std::string error;
    std::unique_ptr<VirtualBoard> board = VirtualBoard::Start(options, &error);
    EXPECT_TRUE(board) << error;
    return board;
}

bool PageEnvironment::OpenPort(int comNumber) {
    return theApp().m_serialPort.InitPort(static_cast<unsigned>(comNumber), 115200, 'N', 8, 1, 9,
                                          512) != 0;
}

void PageEnvironment::SetWorkingPath(const fs::path& directory) {
    const std::string path = directory.string() + "/";
    ASSERT_LT(path.size(), sizeof theApp().m_workingPath);
    std::strcpy(theApp().m_workingPath, path.c_str());
}

fs::path PageEnvironment::CatalogueDirectory() {
    return fs::path(PELORANT_SOURCE_DIR) / "catalogue";
}

bool PageEnvironment::WriteInstalledSettings(std::uint32_t alert) {
    const std::string catalogue = CatalogueDirectory().string();
    return WriteSettingString(catalogue.c_str(), product::kSettingsKey, "path") == 0 &&
           WriteSettingDword(alert, product::kSettingsKey, "alert") == 0;
}

}  // namespace uitest
