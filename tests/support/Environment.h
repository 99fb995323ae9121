#pragma once

#include <optional>
#include <string>

namespace testsupport {

// Sets the variable to `value`, or removes it when there is none (a file per platform).
void SetEnvironment(const std::string& name, const std::optional<std::string>& value);

}  // namespace testsupport
