#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue/Catalogue.h"
#include "common/ResultCode.h"
#include "control/DetectionTexts.h"
#include "control/LoadedImage.h"
#include "control/SerialNumber.h"
#include "image/HexLoader.h"
#include "protocol/Outcomes.h"
#include "tools/cli/BoxPrinter.h"
#include "tools/cli/CheckReport.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ExitStatus.h"
#include "tools/cli/SerialList.h"
#include "tools/cli/WorkingPath.h"

namespace {

// Keeps the boxes a load shows, for the report to print afterwards.
class RecordedBoxes : public IMessageBox {
public:
    BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                   BoxButtons buttons) override {
        boxes.push_back(ShownBox{text, caption, icon});
        return buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::No;
    }

    std::vector<ShownBox> boxes;
};

}  // namespace

int RunCheckCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app) {
    std::string error;
    if (!SetWorkingPath(options.workdir, app, error)) {
        output.Error("pelorant-cli: " + error);
        return kExitUsage;
    }
    const std::string catalogue = CataloguePath(app);
    const auto devices = ListCatalogueDevices(catalogue);
    if (!devices) {
        output.Error("pelorant-cli: the catalogue " + catalogue + " cannot be read");
        return kExitIdentificationFailed;
    }
    const auto id = ResolveDeviceIdentifier(catalogue, options.device);
    if (!id) {
        std::string known;
        for (const CatalogueEntry& entry : *devices) known += " " + entry.name;
        output.Error("pelorant-cli: no device '" + options.device + "' in " + catalogue +
                     "; it lists:" + known);
        return kExitIdentificationFailed;
    }

    CDeviceInfo& device = app.m_device;
    std::string name;
    std::string cause;
    const CatalogueLookup found = LookupDevice(catalogue, *id, device, name, &cause);
    if (found != CatalogueLookup::Found) {
        // A refused lookup keeps its number as the identification's result, and its text.
        output.Error("pelorant-cli: " + *id + " in " + catalogue + ": " +
                     IdentificationError(IdentifyRefusal(found)));
        if (!cause.empty()) output.Error("pelorant-cli: " + cause);
        return kExitIdentificationFailed;
    }
    std::strncpy(device.name, name.c_str(), sizeof device.name - 1);

    RecordedBoxes boxes;
    const LoadOutcome load = LoadImage(ReadHexSource(options.file), device);
    ShowHexLoadBoxes(load.report, boxes);
    if (!load.image) {
        for (const ShownBox& box : boxes.boxes) {
            output.Error(FormatBox(box.text, box.caption, box.icon));
        }
        output.Error("pelorant-cli: " + options.file + ": " + load.report.Cause());
        return kExitHexNotLoaded;
    }
    if (!options.production.SerialWanted()) {
        PrintCheckReport(*load.image, device, *id, boxes.boxes, output);
        return kExitOk;
    }
    // The first number the options give, placed as a write would place each board's.
    SerialSource source;
    if (!SerialSourceOf(options.production, source, error)) {
        output.Error("pelorant-cli: " + error);
        return kExitUsage;
    }
    const std::uint64_t number = source.list.empty() ? source.start : source.list.front();
    const SerialPlace place{*options.production.serialAt, options.production.serialWords};
    const SerialStamp stamp = StampSerialNumber(*load.image, place, number);
    if (!stamp.image) {
        output.Error("pelorant-cli: " + stamp.landing.refusal);
        return kExitUsage;
    }
    PrintCheckReport(*stamp.image, device, *id, boxes.boxes, output);
    const auto units =
        static_cast<std::uint32_t>(RowUnits(stamp.image->Image(stamp.landing.block)));
    char at[16];
    std::snprintf(at, sizeof at, "0x%04X", place.address);
    output.Result("serial number " + std::to_string(number) + " at " + at + ", " +
                  std::to_string(place.words) + (place.words == 1 ? " word" : " words") + " in " +
                  kMemoryBlocks[stamp.landing.block].name + ", row" +
                  (stamp.landing.rows.size() == 1 ? " " : "s ") +
                  FormatRowSpans(stamp.landing.rows, units));
    return kExitOk;
}
