#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

#include "catalogue/Catalogue.h"
#include "common/ResultCode.h"
#include "control/DetectionTexts.h"
#include "control/ExitStatus.h"
#include "control/LoadedImage.h"
#include "control/SerialNumber.h"
#include "image/HexLoader.h"
#include "protocol/Outcomes.h"
#include "tools/cli/BoxPrinter.h"
#include "tools/cli/CheckJson.h"
#include "tools/cli/CheckReport.h"
#include "tools/cli/Commands.h"
#include "tools/cli/JsonDocument.h"
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

// The check itself; prints the report, or says why it cannot be made (`cause`).
int Check(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app,
          std::string& cause) {
    const auto fail = [&](int status, const std::string& why) {
        output.Error("pelorant-cli: " + why);
        cause = why;
        return status;
    };
    std::string error;
    if (!SetWorkingPath(options.workdir, app, error)) return fail(kExitUsage, error);
    const std::string catalogue = CataloguePath(app);
    const auto devices = ListCatalogueDevices(catalogue);
    if (!devices) {
        return fail(kExitIdentificationFailed, "the catalogue " + catalogue + " cannot be read");
    }
    const auto id = ResolveDeviceIdentifier(catalogue, options.device);
    if (!id) {
        std::string known;
        for (const CatalogueEntry& entry : *devices) known += " " + entry.name;
        return fail(kExitIdentificationFailed,
                    "no device '" + options.device + "' in " + catalogue + "; it lists:" + known);
    }

    CDeviceInfo& device = app.m_device;
    std::string name;
    std::string lookupCause;
    const CatalogueLookup found = LookupDevice(catalogue, *id, device, name, &lookupCause);
    if (found != CatalogueLookup::Found) {
        // A refused lookup keeps its number as the identification's result, and its text.
        const int status =
            fail(kExitIdentificationFailed,
                 *id + " in " + catalogue + ": " + IdentificationError(IdentifyRefusal(found)));
        if (!lookupCause.empty()) output.Error("pelorant-cli: " + lookupCause);
        return status;
    }
    std::strncpy(device.name, name.c_str(), sizeof device.name - 1);

    RecordedBoxes boxes;
    const LoadOutcome load = LoadImage(ReadHexSource(options.file), device);
    ShowHexLoadBoxes(load.report, boxes);
    if (!load.image) {
        for (const ShownBox& box : boxes.boxes) {
            output.Error(FormatBox(box.text, box.caption, box.icon));
        }
        return fail(kExitHexNotLoaded, options.file + ": " + load.report.Cause());
    }
    std::shared_ptr<const LoadedImage> image = load.image;
    std::string serialLine;
    if (options.production.SerialWanted()) {
        // The first number the options give, placed as a write would place each board's.
        SerialSource source;
        if (!SerialSourceOf(options.production, source, error)) return fail(kExitUsage, error);
        const std::uint64_t number = source.list.empty() ? source.start : source.list.front();
        const SerialPlace place{*options.production.serialAt, options.production.serialWords};
        const SerialStamp stamp = StampSerialNumber(*load.image, place, number);
        if (!stamp.image) return fail(kExitUsage, stamp.landing.refusal);
        image = stamp.image;
        serialLine = SerialLandingText(number, place, stamp.landing, *image);
    }
    PrintCheckReport(*image, device, *id, boxes.boxes, output);
    if (!serialLine.empty()) output.Result(serialLine);
    if (options.json) PrintJsonDocument(CheckJson(*image, device, *id, boxes.boxes));
    return kExitOk;
}

}  // namespace

int RunCheckCommand(const CliOptions& options, ConsoleOutput& output, CBootloaderApp& app) {
    std::string cause;
    const int status = Check(options, output, app, cause);
    if (options.json && status != kExitOk) {
        PrintJsonDocument(CheckFailureJson(options.file, status, cause));
    }
    return status;
}
