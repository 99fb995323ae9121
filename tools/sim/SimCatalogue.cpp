#include "tools/sim/SimCatalogue.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace board {

std::string DefaultCataloguePath() {
    if (const char* fromEnvironment = std::getenv("PELORANT_CATALOGUE")) return fromEnvironment;
    // The same place in an installation and in the build tree, which holds a copy there.
    const std::filesystem::path relative = "../share/pelorant/qor_dspiclist.xml";
    std::error_code failed;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed) return relative.string();
    return (program.parent_path() / relative).lexically_normal().string();
}

}  // namespace board
