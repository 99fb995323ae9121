#include "tools/sim/SimCatalogue.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace board {

std::string DefaultCataloguePath() {
    if (const char* fromEnvironment = std::getenv("PELORANT_CATALOGUE")) return fromEnvironment;
    std::error_code failed;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (!failed) {
        const auto installed =
            program.parent_path() / ".." / "share" / "pelorant" / "qor_dspiclist.xml";
        if (std::filesystem::exists(installed, failed)) return installed.lexically_normal();
    }
    return PELORANT_SOURCE_CATALOGUE;
}

}  // namespace board
