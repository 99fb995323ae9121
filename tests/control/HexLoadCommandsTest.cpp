#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "app/BootloaderApp.h"
#include "catalogue/Catalogue.h"
#include "tests/control/ControlFixture.h"

namespace {

using LogLine = std::pair<std::string, std::string>;

// The load commands need an identified device but no board.
class HexLoadCommandsTest : public ControlTest {
protected:
    HexLoadCommandsTest() {
        std::string name;
        CDeviceInfo& device = theApp().m_device;
        EXPECT_EQ(LookupDevice(ShippedCatalogueDir() + "qor_dspiclist.xml", "0x0101", device, name),
                  kCatalogueFound);
        std::strncpy(device.name, name.c_str(), sizeof device.name - 1);
    }
};

TEST_F(HexLoadCommandsTest, LoadEnablesTheWriteOnlyWithThePortOpen) {
    control_->m_enableRun = 0;
    control_->m_hexPath = SampleHexPath();
    control_->LoadHexFile();
    EXPECT_EQ(control_->m_hexLoaded, 1);
    EXPECT_FALSE(control_->m_enableRun || control_->m_enableWrite || control_->m_enableReload);
    EXPECT_EQ(window_.checked, (std::array<bool, 3>{true, true, false}));

    control_->m_portOpen = 1;
    control_->LoadHexFile();
    EXPECT_EQ(window_.log,
              (std::vector<LogLine>{{"Load HEX file", "ok"}, {"Load HEX file", "ok"}}));
    EXPECT_TRUE(control_->m_enableRun && control_->m_enableWrite && control_->m_enableReload);
    EXPECT_FALSE(control_->m_busy);
}

TEST_F(HexLoadCommandsTest, FailedLoadDisablesTheWriteAndKeepsThePath) {
    control_->m_enableWrite = 1;
    control_->m_hexPath = (dir_.path() / "missing.hex").string();
    control_->LoadHexFile();

    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"Load HEX file", "failed"}}));
    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].caption, "loading error");
    EXPECT_EQ(control_->m_hexLoaded, 0);
    EXPECT_FALSE(control_->m_enableWrite);
    EXPECT_FALSE(control_->m_hexPath.empty());
}

TEST_F(HexLoadCommandsTest, ReloadLogsItsOutcomeChangesNoEnableStateAndWaitsForIdle) {
    control_->OnReloadCommand();  // no path yet: nothing
    control_->m_hexPath = SampleHexPath();
    control_->m_busy = 1;
    control_->OnReloadCommand();
    control_->LoadHexFile();
    EXPECT_TRUE(window_.calls.empty());

    control_->m_busy = 0;
    control_->OnReloadCommand();
    control_->m_hexPath = (dir_.path() / "missing.hex").string();
    control_->OnReloadCommand();
    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"Reloading", "ok"}, {"Reloading", "failed"}}));
    EXPECT_FALSE(control_->m_enableWrite || control_->m_enableReload);
    EXPECT_EQ(window_.checked, (std::array<bool, 3>{false, false, false}));
}

}  // namespace
