#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "serial/PortDirectory.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::ScopedEnv;
using testsupport::TempDir;

TEST(PortDirectoryTest, FollowsXdgConfigHomeThenHome) {
    TempDir config;
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", config.path().string());
        EXPECT_EQ(lunvik::PortDirectory(), config.path().string() + "/lunvik/ports");
    }
    TempDir home;
    ScopedEnv homeVariable("HOME", home.path().string());
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(lunvik::PortDirectory(), home.path().string() + "/.config/lunvik/ports");
    }
    // A relative XDG_CONFIG_HOME is not a base directory at all.
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(lunvik::PortDirectory(), home.path().string() + "/.config/lunvik/ports");
}

TEST(PortDirectoryTest, LinksNameTheirTargetsOtherwiseSerialPortsStandIn) {
    TempDir config;
    ScopedEnv xdg("XDG_CONFIG_HOME", config.path().string());
    const std::filesystem::path ports = config.path() / "lunvik/ports";
    std::filesystem::create_directories(ports);
    std::filesystem::create_symlink("/dev/pts/42", ports / "COM7");
    std::filesystem::create_symlink("../adapter", ports / "COM8");

    EXPECT_EQ(lunvik::ResolveComPort(7), "/dev/pts/42");
    EXPECT_EQ(lunvik::ResolveComPort(8), (ports / "../adapter").string());
    EXPECT_EQ(lunvik::ResolveComPort(1), "/dev/ttyS0");
    EXPECT_EQ(lunvik::ResolveComPort(32), "/dev/ttyS31");
    EXPECT_EQ(lunvik::ResolveComPort(33), "");
    EXPECT_EQ(lunvik::ResolveComPort(0), "");
}

}  // namespace
