#pragma once

#include <string>

#include "control/LoadedImage.h"
#include "tools/cli/ConsoleOutput.h"

// Whether the HEX file of a write could be read at all, looked at before the port is opened so
// that a wrong path fails at once; an exit status.
int CheckHexFileRead(const HexSource& source, ConsoleOutput& output);
// Whether the catalogue at `path` can be read and parsed; an exit status.
int CheckCatalogueReadable(const std::string& path, ConsoleOutput& output);
