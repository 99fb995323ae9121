#include <gtest/gtest.h>

#include "app/WindowsDeviceIds.h"

namespace {

TEST(WindowsDeviceIdsTest, TheIdsAndASerialNumberTheDeviceGaveAreRead) {
    const struct {
        const char* hardwareId;
        const char* instanceId;
        UsbIdentity expected;
    } cases[] = {
        {"USB\\VID_0403&PID_6001&REV_0600",
         "USB\\VID_0403&PID_6001\\A50285BI",
         {"0403", "6001", "A50285BI"}},
        // A serial number the system made up, for a device that has none.
        {"USB\\VID_10C4&PID_EA60&REV_0100",
         "USB\\VID_10C4&PID_EA60\\5&2B4E1B63&0&2",
         {"10c4", "ea60", ""}},
        // A driver's own bus: the ids, but no USB instance to take a number from.
        {"FTDIBUS\\COMPORT&VID_0403&PID_6015",
         "FTDIBUS\\VID_0403+PID_6015+DN05ABCDA\\0000",
         {"0403", "6015", ""}},
        {"ACPI\\PNP0501", "ACPI\\PNP0501\\1", {"", "", ""}},
        {"USB\\VID_04G3&PID_60", "", {"", "", ""}},
    };
    for (const auto& c : cases) {
        const UsbIdentity identity = UsbIdentityOf(c.hardwareId, c.instanceId);
        EXPECT_EQ(identity.vendorId, c.expected.vendorId) << c.instanceId;
        EXPECT_EQ(identity.productId, c.expected.productId) << c.instanceId;
        EXPECT_EQ(identity.serialNumber, c.expected.serialNumber) << c.instanceId;
    }
}

}  // namespace
