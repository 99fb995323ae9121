#include "image/HexLoader.h"

#include <cstdio>

#include "common/Product.h"
#include "common/RegularFile.h"
#include "image/HexReader.h"

namespace {

constexpr const char* kLoadingError = "loading error";
constexpr const char* kBootloaderConflict = "bootloader conflict";

void StatusFrom(const FileStamp& stamp, HexFileStatus& status) {
    status.valid = true;
    status.size = stamp.size;
    status.modifiedSeconds = stamp.modifiedSeconds;
}

HexLoadReport Refusal(HexLoadResult result, std::string reason, int line = 0) {
    HexLoadReport report;
    report.result = result;
    report.line = line;
    report.reason = std::move(reason);
    return report;
}

// Opens a regular file for reading; a FIFO, a terminal or a directory is refused at once.
FilePtr OpenHexFile(const std::string& path, HexFileStatus& status, std::string& reason) {
    if (path.empty()) {
        reason = "no HEX file was chosen";
        return FilePtr(nullptr, &std::fclose);
    }
    FileStamp stamp;
    FilePtr file = OpenRegularFile(path, stamp, reason);
    if (file) StatusFrom(stamp, status);
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
    for (std::uint64_t a = bootStart; a < bootEnd; ++a) {
        MemoryCell cell;
        if (code.GetCell(static_cast<std::uint32_t>(a), cell) < 0) return BootloaderScan::Outside;
        if (cell.used) return BootloaderScan::HasData;
    }
    return BootloaderScan::Clean;
}

HexLoadReport ReadIntoFresh(CDeviceInfo& device, std::FILE* file, CMemoryImage (&fresh)[3]) {
    const HexReadReport read = ReadHexRecords(
        file, fresh[CDeviceInfo::kCode], fresh[CDeviceInfo::kData], fresh[CDeviceInfo::kConfig]);
    const bool anyData = fresh[0].hasData || fresh[1].hasData || fresh[2].hasData;
    switch (read.outcome) {
        case HexReadOutcome::OutsideData:
            return Refusal(HexLoadResult::OutsideData, read.reason, read.line);
        case HexReadOutcome::NoEndRecord:
            // Not a single record, not even the end-of-file record: empty, not cut short.
            if (read.records == 0) return Refusal(HexLoadResult::Empty, "the file holds no record");
            return Refusal(HexLoadResult::BadLine, read.reason, read.line);
        case HexReadOutcome::BadLine:
            return Refusal(HexLoadResult::BadLine, read.reason, read.line);
        case HexReadOutcome::Read:
            break;
    }
    if (!anyData) return Refusal(HexLoadResult::Empty, "the file holds no data record");

    CMemoryImage& code = fresh[CDeviceInfo::kCode];
    // A file without program flash data (EEPROM or configuration only) leaves the code image
    // empty: no reset vector row is sent over the program already on the chip.
    if (code.hasData) WriteResetVector(code, device.bootStart);

    HexLoadReport report;
    report.result = HexLoadResult::Loaded;
    switch (ScanBootloader(code, device.bootStart, device.bootEnd)) {
        case BootloaderScan::Outside: {
            char text[96];
            std::snprintf(text, sizeof text,
                          "the bootloader range 0x%04X - 0x%04X is not inside program flash",
                          device.bootStart, device.bootEnd);
            return Refusal(HexLoadResult::BootloaderOutside, text);
        }
        case BootloaderScan::HasData:
            report.bootloaderData = true;
            break;
        case BootloaderScan::Clean:
            break;
    }
    for (int k = 0; k < 3; ++k) report.protectedData[k] = fresh[k].protectedHit;
    return report;
}

}  // namespace

std::string HexLoadReport::Cause() const {
    return line > 0 ? "line " + std::to_string(line) + ": " + reason : reason;
}

bool ReadHexFileStatus(const std::string& path, HexFileStatus& status) {
    FileStamp stamp;
    if (!ReadFileStamp(path, stamp)) return false;
    StatusFrom(stamp, status);
    return true;
}

HexLoadReport LoadHexImage(CDeviceInfo& device, const std::string& path,
                           HexFileStatus& fileStatus) {
    std::string reason;
    FilePtr file = OpenHexFile(path, fileStatus, reason);
    if (!file) return Refusal(HexLoadResult::NotOpened, reason);

    CMemoryImage fresh[3];
    for (int k = 0; k < 3; ++k) fresh[k].CopyLayout(device.images[k]);
    HexLoadReport report = ReadIntoFresh(device, file.get(), fresh);
    if (report.Loaded()) {
        for (int k = 0; k < 3; ++k) device.images[k].Swap(fresh[k]);
    }
    return report;
}

void ShowHexLoadBoxes(const HexLoadReport& report, IMessageBox& boxes) {
    const auto refuse = [&](const char* text, const char* caption, BoxIcon icon) {
        boxes.Show(std::string(text) + "\n" + report.Cause(), caption, icon, BoxButtons::Ok);
    };
    switch (report.result) {
        case HexLoadResult::NotOpened:
            return refuse("Load HEX file failed.\nCheck path and try again.", kLoadingError,
                          BoxIcon::Error);
        case HexLoadResult::BadLine:
            return refuse("Load HEX file failed.\nVerify dsPic list integrity or contact vardeno.",
                          kLoadingError, BoxIcon::Error);
        case HexLoadResult::OutsideData:
            return refuse("Load HEX file failed.\nThe file holds data outside the dsPIC memories.",
                          kLoadingError, BoxIcon::Error);
        case HexLoadResult::Empty:
            return refuse("The selected HEX file is empty.", kLoadingError, BoxIcon::Error);
        case HexLoadResult::BootloaderOutside:
            return refuse("Invalid Data", kBootloaderConflict, BoxIcon::Warning);
        case HexLoadResult::Loaded:
            break;
    }
    if (report.bootloaderData) {
        boxes.Show(std::string("Your HEX file contains data in bootloader addresses.\nThe "
                               "write will be cutted out properly for safety reasons.\n\n"
                               "Contact vardeno(") +
                       product::kMakerWebAddress + ") for further information.",
                   kBootloaderConflict, BoxIcon::Warning, BoxButtons::Ok);
    }
    static constexpr const char* kNames[3] = {"code", "eeprom", "config"};
    for (int k = 0; k < 3; ++k) {
        if (!report.protectedData[k]) continue;
        boxes.Show(std::string("Your HEX file contains data in protected '") + kNames[k] +
                       "' addresses.\nProtected addresses will NOT be overwritten.",
                   "Warning", BoxIcon::Information, BoxButtons::Ok);
    }
}

int LoadHexImage(CDeviceInfo& device, const std::string& path, HexFileStatus& fileStatus,
                 IMessageBox& boxes) {
    const HexLoadReport report = LoadHexImage(device, path, fileStatus);
    ShowHexLoadBoxes(report, boxes);
    return report.Loaded() ? 1 : 0;
}
