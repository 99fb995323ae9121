#pragma once

#include <string>

#include "control/SerialStock.h"
#include "tools/cli/ProductionOptions.h"

// Where the serial numbers of the options come from: --serial's sequence, or the numbers of the
// --serial-list file, read here; false with `error` set when that file cannot be read or is
// not a list of numbers.
bool SerialSourceOf(const ProductionOptions& options, SerialSource& source, std::string& error);
