#include <gtest/gtest.h>

#include <string>

#include "app/ComPorts.h"
#include "app/SingleInstance.h"
#include "tests/win32/BoardPort.h"

namespace {

TEST(Win32SingleInstanceTest, TheNamedMutexKeepsASecondCopyOut) {
    const std::string name = "PelorantTestAlreadyRunning";
    auto first = SingleInstanceGuard::Acquire(name);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Held());
    EXPECT_EQ(SingleInstanceGuard::Acquire(name), nullptr);
    first.reset();
    const auto again = SingleInstanceGuard::Acquire(name);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->Held());
    EXPECT_THROW(SingleInstanceGuard::Acquire(""), std::invalid_argument);
}

TEST(Win32ComPortsTest, TheBoardsPortIsListedWithANameToShow) {
    const unsigned com = BoardComNumber();
    if (com == 0) GTEST_SKIP() << "no virtual board: PELORANT_TEST_COM is not set";
    ComPortList ports;
    ASSERT_EQ(EnumerateComPorts(ports), std::nullopt);
    const std::string name = "COM" + std::to_string(com);
    bool found = false;
    for (std::size_t i = 0; i < ports.Count(); ++i) {
        const ComPortEntry& entry = ports.At(i);
        EXPECT_EQ(entry.portName.rfind("COM", 0), 0u);
        EXPECT_FALSE(entry.friendlyName.empty());
        EXPECT_FALSE(entry.portDescription.empty());
        if (entry.portName == name) {
            found = true;
            EXPECT_EQ(entry.devicePath, "\\\\.\\" + name);
        }
    }
    EXPECT_TRUE(found) << name << " is not among the " << ports.Count() << " ports listed";
}

}  // namespace
