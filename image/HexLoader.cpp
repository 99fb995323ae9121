#include "image/HexLoader.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "common/Product.h"
#include "image/HexReader.h"

namespace {

constexpr const char* kLoadingError = "loading error";
constexpr const char* kBootloaderConflict = "bootloader conflict";

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

void StatusFrom(const struct stat& info, HexFileStatus& status) {
    status.valid = true;
    status.size = static_cast<std::int64_t>(info.st_size);
    status.modifiedSeconds = static_cast<std::int64_t>(info.st_mtime);
}

// Opens the file for reading as text; a directory opens on Linux but is no file to read.
FilePtr OpenHexFile(const std::string& path) {
    if (path.empty()) return FilePtr(nullptr, &std::fclose);
    FilePtr file(std::fopen(path.c_str(), "r"), &std::fclose);
    struct stat info {};
    if (file && fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) file.reset();
    return file;
}

void WriteResetVector(CMemoryImage& code, std::uint32_t bootStart) {
    code.WriteWord(0, static_cast<std::uint16_t>(bootStart & 0xFFFF));
    code.WriteWord(1, 0x0004);  // GOTO opcode, zero phantom byte
    code.WriteWord(2, static_cast<std::uint16_t>(bootStart >> 16 & 0xFF));
}

enum class BootloaderScan { Clean, HasData, Outside };

// Looks at bootStart .. bootEnd - 1 and stops at the first used or outside word.
BootloaderScan ScanBootloader(CMemoryImage& code, std::uint32_t bootStart, std::uint32_t bootEnd) {
    for (std::uint32_t a = bootStart; a < bootEnd; ++a) {
        MemoryCell cell;
        if (code.GetCell(a, cell) < 0) return BootloaderScan::Outside;
        if (cell.used) return BootloaderScan::HasData;
    }
    return BootloaderScan::Clean;
}

}  // namespace

bool ReadHexFileStatus(const std::string& path, HexFileStatus& status) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) return false;
    StatusFrom(info, status);
    return true;
}

int LoadHexImage(CDeviceInfo& device, const std::string& path, HexFileStatus& fileStatus,
                 IMessageBox& boxes) {
    FilePtr file = OpenHexFile(path);
    if (!file) {
        boxes.Show("Load HEX file failed.\nCheck path and try again.", kLoadingError,
                   BoxIcon::Error, BoxButtons::Ok);
        return 0;
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) == 0) {
        StatusFrom(info, fileStatus);
    } else {
        fileStatus = HexFileStatus{};
    }

    CMemoryImage& code = device.images[CDeviceInfo::kCode];
    CMemoryImage& data = device.images[CDeviceInfo::kData];
    CMemoryImage& config = device.images[CDeviceInfo::kConfig];
    code.Clear();
    data.Clear();
    config.Clear();

    const int read = ReadHexFile(file.get(), code, data, config);
    if (read < 0) {
        boxes.Show("Load HEX file failed.\nVerify dsPic list integrity or contact vardeno.",
                   kLoadingError, BoxIcon::Error, BoxButtons::Ok);
        return 0;
    }
    // Reading stops at the first word no memory of the device holds, so everything after it
    // in the file would be left out of the write: such a file is refused, not half-loaded.
    if (read == 0) {
        boxes.Show("Load HEX file failed.\nThe file holds data outside the dsPIC memories.",
                   kLoadingError, BoxIcon::Error, BoxButtons::Ok);
        return 0;
    }

    WriteResetVector(code, device.bootStart);
    bool empty = true;
    code.FirstUsedAddress(&empty);
    if (empty) {
        boxes.Show("The selected HEX file is empty.", kLoadingError, BoxIcon::Error,
                   BoxButtons::Ok);
        return 0;
    }

    switch (ScanBootloader(code, device.bootStart, device.bootEnd)) {
        case BootloaderScan::Outside:
            boxes.Show("Invalid Data", kBootloaderConflict, BoxIcon::Warning, BoxButtons::Ok);
            return 0;
        case BootloaderScan::HasData:
            boxes.Show(std::string("Your HEX file contains data in bootloader addresses.\nThe "
                                   "write will be cutted out properly for safety reasons.\n\n"
                                   "Contact vardeno(") +
                           product::kMakerWebAddress + ") for further information.",
                       kBootloaderConflict, BoxIcon::Warning, BoxButtons::Ok);
            break;
        case BootloaderScan::Clean:
            break;
    }

    const struct {
        const CMemoryImage& image;
        const char* name;
    } memories[] = {{code, "code"}, {data, "eeprom"}, {config, "config"}};
    for (const auto& memory : memories) {
        if (!memory.image.protectedHit) continue;
        boxes.Show(std::string("Your HEX file contains data in protected '") + memory.name +
                       "' addresses.\nProtected addresses will NOT be overwritten.",
                   "Warning", BoxIcon::Information, BoxButtons::Ok);
    }
    return 1;
}
