#include "image/HexLoader.h"

#include <cstdio>
#include <string_view>

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

// A HEX file for the largest dsPIC is a few MiB; anything far beyond is no such file.
constexpr std::size_t kLargestHexFile = 64u << 20;

void WriteResetVector(CMemoryImage& code, std::uint32_t bootStart) {
    code.WriteWord(0, static_cast<std::uint16_t>(bootStart & 0xFFFF));
    code.WriteWord(1, 0x0004);  // GOTO opcode, zero phantom byte
    code.WriteWord(2, static_cast<std::uint16_t>(bootStart >> 16 & 0xFF));
}

// The last word address of the reset instruction: the loader writes its own there.
constexpr std::uint32_t kResetVectorEnd = 2;

bool HoldsProgram(const CMemoryImage& code, std::uint32_t bootStart, std::uint32_t bootEnd) {
    if (!code.hasData || !code.cells) return false;
    // The bootloader's last address names its last instruction, whose upper cell is the next.
    const std::uint64_t bootLast = std::uint64_t{bootEnd} | 1;
    for (std::uint64_t i = 0; i <= code.count; ++i) {
        if (!code.cells[i].used) continue;
        const std::uint64_t address = code.start + i;
        if (address > kResetVectorEnd && (address < bootStart || address > bootLast)) return true;
    }
    return false;
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

HexLoadReport ReadIntoFresh(CDeviceInfo& device, std::string_view text, CMemoryImage (&fresh)[3]) {
    const HexReadReport read =
        ReadHexRecords(text, fresh[kBlockCode], fresh[kBlockEeprom], fresh[kBlockConfig]);
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

    CMemoryImage& code = fresh[kBlockCode];
    HexLoadReport report;
    report.result = HexLoadResult::Loaded;
    const BootloaderScan scan = ScanBootloader(code, device.bootStart, device.bootEnd);
    // Program flash is written only for a program: data beyond the file's own reset
    // instruction, outside the bootloader. Otherwise row 0 would be the jump alone with zeros
    // over the interrupt vectors of the program already on the chip, so the code image is left
    // empty, as for a file without program flash data.
    const bool fileHitProtectedCode = code.protectedHit;
    const bool program = HoldsProgram(code, device.bootStart, device.bootEnd);
    if (program) {
        WriteResetVector(code, device.bootStart);
    } else {
        code.Clear();
    }
    for (int k = 0; k < kBlockCount; ++k) report.protectedData[k] = fresh[k].protectedHit;
    // The warnings name what the file held, whether or not it is written.
    if (!program) report.protectedData[kBlockCode] = fileHitProtectedCode;
    switch (scan) {
        case BootloaderScan::Outside: {
            char message[96];
            std::snprintf(message, sizeof message,
                          "the bootloader range 0x%04X - 0x%04X is not inside program flash",
                          device.bootStart, device.bootEnd);
            return Refusal(HexLoadResult::BootloaderOutside, message);
        }
        case BootloaderScan::HasData:
            report.bootloaderData = true;
            break;
        case BootloaderScan::Clean:
            break;
    }
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

HexLoadReport ReadHexFileText(const std::string& path, HexFileText& file) {
    file = HexFileText{};
    file.path = path;
    if (path.empty()) return Refusal(HexLoadResult::NotOpened, "no HEX file was chosen");
    FileStamp stamp;
    std::string reason;
    // A FIFO, a terminal or a directory is refused at once, never waited on.
    FilePtr opened = OpenRegularFile(path, stamp, reason);
    if (!opened) return Refusal(HexLoadResult::NotOpened, reason);
    StatusFrom(stamp, file.status);
    char chunk[1 << 14];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, opened.get())) > 0) {
        if (file.text.size() + got > kLargestHexFile) {
            return Refusal(HexLoadResult::NotOpened,
                           path + " is larger than any HEX file of a dsPIC (over 64 MiB)");
        }
        file.text.append(chunk, got);
    }
    if (std::ferror(opened.get())) {
        return Refusal(HexLoadResult::NotOpened, path + ": the file could not be read");
    }
    HexLoadReport report;
    report.result = HexLoadResult::Loaded;
    return report;
}

HexLoadReport LoadHexImage(CDeviceInfo& device, const HexFileText& file) {
    CMemoryImage fresh[kBlockCount];
    for (int k = 0; k < kBlockCount; ++k) fresh[k].CopyLayout(device.images[k]);
    HexLoadReport report = ReadIntoFresh(device, file.text, fresh);
    if (report.Loaded()) {
        for (int k = 0; k < kBlockCount; ++k) device.images[k].Swap(fresh[k]);
    }
    return report;
}

HexLoadReport LoadHexImage(CDeviceInfo& device, const std::string& path,
                           HexFileStatus& fileStatus) {
    HexFileText file;
    const HexLoadReport read = ReadHexFileText(path, file);
    if (file.status.valid) fileStatus = file.status;
    if (!read.Loaded()) return read;
    return LoadHexImage(device, file);
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
