#pragma once

#include <cstdint>
#include <string>

#include "common/MessageBox.h"
#include "device/DeviceInfo.h"

// What the file-change watch compares: the status of the HEX file as last opened.
struct HexFileStatus {
    bool valid = false;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;  // whole seconds, the only field the watch compares
};

// Reads the status of the file at `path`; false when it cannot be read.
bool ReadHexFileStatus(const std::string& path, HexFileStatus& status);

enum class HexLoadResult {
    Loaded,
    NotOpened,          // no path, no regular file, or it does not open
    BadLine,            // a record is not sound, or the file was cut short
    OutsideData,        // data that no memory of the device holds
    Empty,              // no data record at all
    BootloaderOutside,  // the bootloader range is not inside the code image
};

// The outcome of one load, for a box, a log or a command line.
struct HexLoadReport {
    HexLoadResult result = HexLoadResult::NotOpened;
    int line = 0;                 // the line that decided a refusal; 0 when no line did
    std::string reason;           // why, without the line number; empty when loaded
    bool bootloaderData = false;  // loaded, with file data in the bootloader's addresses
    bool protectedData[3] = {};   // loaded, with file data on protected words, per image

    bool Loaded() const { return result == HexLoadResult::Loaded; }
    // "line 84: checksum 0x3A, expected 0x7C", or the reason alone when no line decided.
    std::string Cause() const;
};

// A HEX file as read from disk, once: a load places its text for a device, and a write to
// several boards places the same text for each, whatever happens to the file meanwhile.
struct HexFileText {
    std::string path;
    std::string text;
    HexFileStatus status;  // of the file that was read
};

// Reads the regular file at `path` whole; NotOpened with its cause when it cannot be read.
// Anything else is Loaded: the text is judged only when it is placed for a device.
HexLoadReport ReadHexFileText(const std::string& path, HexFileText& file);

// Places the text for the device, as LoadHexImage below.
HexLoadReport LoadHexImage(CDeviceInfo& device, const HexFileText& file);

// Loads the HEX file for the device: reads it into fresh images laid out like the device's,
// writes the reset vector that jumps into the bootloader, and checks the bootloader range.
// Only a load that succeeded in full replaces the device's three images; any refusal leaves
// them as they were. `fileStatus` receives the file's status whenever the file was opened.
HexLoadReport LoadHexImage(CDeviceInfo& device, const std::string& path, HexFileStatus& fileStatus);

// The same load, showing its boxes: the refusal with its cause as a second line, and the
// warnings about bootloader and protected data. 1 when loaded, 0 otherwise.
int LoadHexImage(CDeviceInfo& device, const std::string& path, HexFileStatus& fileStatus,
                 IMessageBox& boxes);

// Shows the boxes of a finished load.
void ShowHexLoadBoxes(const HexLoadReport& report, IMessageBox& boxes);
