#include "tests/support/PrivateSettings.h"
#include "tests/support/TestSupport.h"

namespace testsupport {

struct PrivateSettings::Place {
    ScopedEnv configHome;
    ScopedEnv runtimeDir;
};

PrivateSettings::PrivateSettings(const std::filesystem::path& dir)
    : place_(new Place{{"XDG_CONFIG_HOME", (dir / "config").string()},
                       {"XDG_RUNTIME_DIR", (dir / "run").string()}}) {}

PrivateSettings::~PrivateSettings() = default;

}  // namespace testsupport
