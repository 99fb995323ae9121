#include <cstring>
#include <string>

#include "catalogue/Catalogue.h"
#include "common/ResultCode.h"
#include "control/DetectionTexts.h"
#include "image/HexLoader.h"
#include "tools/cli/CheckReport.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ConsoleMessageBox.h"
#include "tools/cli/ExitStatus.h"
#include "tools/cli/RecordedBoxes.h"
#include "tools/cli/WorkingPath.h"

int RunCheckCommand(const CliOptions& options, ConsoleOutput& output) {
    CBootloaderApp& app = theApp();
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
                     IdentificationError(Code(found)));
        if (!cause.empty()) output.Error("pelorant-cli: " + cause);
        return kExitIdentificationFailed;
    }
    std::strncpy(device.name, name.c_str(), sizeof device.name - 1);

    RecordedBoxes boxes;
    HexFileStatus status;
    const HexLoadReport report = LoadHexImage(device, options.file, status);
    ShowHexLoadBoxes(report, boxes);
    if (!report.Loaded()) {
        for (const ShownBox& box : boxes.boxes) {
            output.Error(FormatBox(box.text, box.caption, box.icon));
        }
        output.Error("pelorant-cli: " + options.file + ": " + report.Cause());
        return kExitHexNotLoaded;
    }
    PrintCheckReport(device, *id, boxes.boxes, output);
    return kExitOk;
}
