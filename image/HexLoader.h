#pragma once

#include <cstdint>
#include <string>

#include "device/DeviceInfo.h"
#include "common/MessageBox.h"

// What the file-change watch compares: the status of the HEX file as last opened.
struct HexFileStatus {
    bool valid = false;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;  // whole seconds, the only field the watch compares
};

// Reads the status of the file at `path`; false when it cannot be read.
bool ReadHexFileStatus(const std::string& path, HexFileStatus& status);

// Loads the HEX file into the device's three images, writes the reset vector that jumps
// into the bootloader and warns about bootloader and protected data. A file with data that
// no memory of the device holds is refused. Shows its own boxes.
// 1 when loaded and accepted, 0 otherwise.
int LoadHexImage(CDeviceInfo& device, const std::string& path, HexFileStatus& fileStatus,
                 IMessageBox& boxes);
