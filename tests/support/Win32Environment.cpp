#include <cstdlib>

#include "tests/support/Environment.h"

namespace testsupport {

// The C runtime's copy is the one getenv reads; an empty value removes the variable.
void SetEnvironment(const std::string& name, const std::optional<std::string>& value) {
    _putenv_s(name.c_str(), value ? value->c_str() : "");
}

}  // namespace testsupport
