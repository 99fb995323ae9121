#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "control/LoadedImage.h"
#include "tools/cli/CheckReport.h"

// check --json: what the check report says, for scripts: the device, the file, and for each
// memory of the device its range, the rows a write sends and those it passes over with the
// reason, whether a write chooses it by default; then the load's warnings.
nlohmann::ordered_json CheckJson(const LoadedImage& image, const CDeviceInfo& device,
                                 const std::string& id, const std::vector<ShownBox>& warnings);

// check --json when the check could not be made: the same fields, null or empty but for the
// file, the status and why.
nlohmann::ordered_json CheckFailureJson(const std::string& file, int status,
                                        const std::string& cause);
