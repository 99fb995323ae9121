#include "tools/cli/WriteInputs.h"

#include "catalogue/Catalogue.h"
#include "common/RegularFile.h"
#include "tools/cli/ConsoleMessageBox.h"
#include "tools/cli/ExitStatus.h"

int CheckHexFileReadable(const std::string& path, ConsoleOutput& output) {
    // Opened as the loader opens it: a FIFO or a device is refused at once, never waited on.
    FileStamp stamp;
    std::string reason = "no HEX file was chosen";
    if (!path.empty() && OpenRegularFile(path, stamp, reason)) return kExitOk;
    // The loader's own box, then what the system said.
    output.Error(FormatBox("Load HEX file failed.\nCheck path and try again.", "loading error",
                           BoxIcon::Error));
    output.Error("    cause: cannot read the HEX file: " + reason);
    return kExitHexNotLoaded;
}

int CheckCatalogueReadable(const std::string& path, ConsoleOutput& output) {
    if (ListCatalogueDevices(path)) return kExitOk;
    output.Error("pelorant-cli: cannot read the device catalogue " + path +
                 " (--workdir names the folder that holds it)");
    return kExitIdentificationFailed;
}
