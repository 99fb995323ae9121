#pragma once

#include <memory>
#include <string>

#include "catalogue/Catalogue.h"
#include "control/LoadedImage.h"
#include "tools/cli/ConsoleOutput.h"

// Whether the HEX file of a write could be read at all, looked at before the port is opened so
// that a wrong path fails at once; an exit status.
int CheckHexFileRead(const HexSource& source, ConsoleOutput& output);
// The catalogue at `path`, read and parsed once for every board of the command; none, said
// on the output, when it cannot be.
std::shared_ptr<const DeviceCatalogue> ReadCatalogue(const std::string& path,
                                                     ConsoleOutput& output);
