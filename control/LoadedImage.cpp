#include "control/LoadedImage.h"

#include "common/Sha256.h"

std::shared_ptr<const HexSource> ReadHexSource(const std::string& path) {
    auto source = std::make_shared<HexSource>();
    source->read = ReadHexFileText(path, source->file);
    if (source->read.Loaded()) source->sha256 = Sha256Hex(source->file.text);
    return source;
}

void LoadedImage::InstallInto(CDeviceInfo& device) const {
    for (int k = 0; k < kBlockCount; ++k) device.images[k].CopyFrom(images_[k]);
}

std::shared_ptr<LoadedImage> LoadedImage::Copy() const {
    std::shared_ptr<LoadedImage> copy(new LoadedImage);
    copy->source_ = source_;
    copy->deviceName_ = deviceName_;
    copy->report_ = report_;
    for (int k = 0; k < kBlockCount; ++k) copy->images_[k].CopyFrom(images_[k]);
    copy->plans_ = plans_;
    copy->bootStart_ = bootStart_;
    copy->bootEnd_ = bootEnd_;
    copy->rowZeroMade_ = rowZeroMade_;
    return copy;
}

void LoadedImage::Replan(int block) {
    CMemoryImage& memory = images_[block];
    BlockPlan& plan = plans_[static_cast<std::size_t>(block)];
    // A memory the file fills is offered; the configuration registers are written only when
    // the user asks for them.
    plan.filled = memory.present && memory.hasData;
    plan.writtenByDefault = plan.filled && block != kBlockConfig;
    plan.rows = PlanRows(memory, RowUnits(memory), bootStart_, bootEnd_);
}

LoadOutcome LoadImage(std::shared_ptr<const HexSource> source, const CDeviceInfo& layout) {
    LoadOutcome outcome;
    if (!source->read.Loaded()) {
        outcome.report = source->read;
        return outcome;
    }
    CDeviceInfo device;
    for (int k = 0; k < kBlockCount; ++k) device.images[k].CopyLayout(layout.images[k]);
    device.bootStart = layout.bootStart;
    device.bootEnd = layout.bootEnd;
    outcome.report = LoadHexImage(device, source->file);
    if (!outcome.report.Loaded()) return outcome;

    std::shared_ptr<LoadedImage> image(new LoadedImage);
    image->source_ = std::move(source);
    image->deviceName_ = layout.name;
    image->report_ = outcome.report;
    image->bootStart_ = device.bootStart;
    image->bootEnd_ = device.bootEnd;
    for (const MemoryBlock& block : kMemoryBlocks) {
        image->images_[block.index].Swap(device.images[block.index]);
        image->Replan(block.index);
    }
    image->rowZeroMade_ = image->Plan(kBlockCode).filled;
    outcome.image = std::move(image);
    return outcome;
}
