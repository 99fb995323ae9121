#include <gtest/gtest.h>

#include "app/BootloaderApp.h"

TEST(BootloaderAppTest, OneObjectWithAnEmptyDeviceBeforeIdentification) {
    CBootloaderApp& app = theApp();
    EXPECT_EQ(&app, &theApp());
    EXPECT_EQ(app.m_device.name[0], '\0');
    for (const CMemoryImage& image : app.m_device.images) {
        EXPECT_EQ(image.cells, nullptr);
        EXPECT_EQ(image.count, 0u);
    }
    EXPECT_EQ(app.m_ports.Count(), 0u);
    EXPECT_TRUE(app.m_osName.empty());
    EXPECT_EQ(app.m_detectionParam.stop.load(), 0);
}
