#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "device/DeviceInfo.h"
#include "image/HexLoader.h"
#include "protocol/RowPlan.h"

// A HEX file read once, with its SHA-256: every load of a run places this same text, so a
// file rebuilt on disk meanwhile cannot give two boards two programs.
struct HexSource {
    HexFileText file;
    std::string sha256;
    HexLoadReport read;  // NotOpened with its cause when the file could not be read
};

std::shared_ptr<const HexSource> ReadHexSource(const std::string& path);

struct LoadOutcome;
struct SerialPlace;
struct SerialStamp;

// What a write would do with one memory of a loaded file.
struct BlockPlan {
    bool filled = false;            // the load put data into this memory
    bool writtenByDefault = false;  // chosen for a write unless the user chooses otherwise
    RowPlan rows;                   // the rows a write sends and those it passes over, and why
};

// One load of a HEX file for one device, fixed once made: the three images, and for each the
// plan every front end shows and chooses from. A write copies the images into the device.
class LoadedImage {
public:
    const HexSource& Source() const { return *source_; }
    const std::string& Path() const { return source_->file.path; }
    const std::string& Sha256() const { return source_->sha256; }
    const std::string& DeviceName() const { return deviceName_; }
    const HexLoadReport& Report() const { return report_; }
    const BlockPlan& Plan(int block) const { return plans_.at(static_cast<std::size_t>(block)); }
    // Whether the load made row 0, the jump into the bootloader followed by the file's own
    // words: only a file with a program does.
    bool RowZeroMade() const { return rowZeroMade_; }
    const CMemoryImage& Image(int block) const { return images_[block]; }
    std::uint32_t BootStart() const { return bootStart_; }
    std::uint32_t BootEnd() const { return bootEnd_; }

    // Gives `device` these images; its layout is the one this load was made for.
    void InstallInto(CDeviceInfo& device) const;

private:
    friend LoadOutcome LoadImage(std::shared_ptr<const HexSource> source,
                                 const CDeviceInfo& layout);
    friend SerialStamp StampSerialNumber(const LoadedImage& image, SerialPlace place,
                                         std::uint64_t number);
    LoadedImage() = default;
    // A copy to change: the same source, device and report, images of its own.
    std::shared_ptr<LoadedImage> Copy() const;
    // Plans the rows of one memory again after its image changed.
    void Replan(int block);

    std::shared_ptr<const HexSource> source_;
    std::string deviceName_;
    HexLoadReport report_;
    CMemoryImage images_[kBlockCount];
    std::array<BlockPlan, kBlockCount> plans_{};
    std::uint32_t bootStart_ = 0;
    std::uint32_t bootEnd_ = 0;
    bool rowZeroMade_ = false;
};

struct LoadOutcome {
    HexLoadReport report;                      // what the load came to, for its boxes
    std::shared_ptr<const LoadedImage> image;  // set when it loaded
};

// Places the source's text for the device `layout` (its name, images and bootloader range).
LoadOutcome LoadImage(std::shared_ptr<const HexSource> source, const CDeviceInfo& layout);
