#pragma once

#include <string>

#include "app/BootloaderApp.h"

// Sets the application's working path (where qor_dspiclist.xml is) from `workdir`, or from
// the settings value "path" when `workdir` is empty. False with `error` set when neither
// gives a usable path.
bool SetWorkingPath(const std::string& workdir, CBootloaderApp& app, std::string& error);

// The catalogue file inside the application's working path.
std::string CataloguePath(const CBootloaderApp& app);
