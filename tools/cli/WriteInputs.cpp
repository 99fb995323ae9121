#include "tools/cli/WriteInputs.h"

#include "catalogue/Catalogue.h"
#include "control/ExitStatus.h"
#include "tools/cli/BoxPrinter.h"

int CheckHexFileRead(const HexSource& source, ConsoleOutput& output) {
    if (source.read.Loaded()) return kExitOk;
    // The loader's own box, then what the system said.
    output.Error(FormatBox("Load HEX file failed.\nCheck path and try again.", "loading error",
                           BoxIcon::Error));
    output.Error("    cause: cannot read the HEX file: " + source.read.Cause());
    return kExitHexNotLoaded;
}

std::shared_ptr<const DeviceCatalogue> ReadCatalogue(const std::string& path,
                                                     ConsoleOutput& output) {
    auto catalogue = DeviceCatalogue::Read(path);
    if (!catalogue) {
        output.Error("pelorant-cli: cannot read the device catalogue " + path +
                     " (--workdir names the folder that holds it)");
    }
    return catalogue;
}
