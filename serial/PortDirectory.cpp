#include "serial/PortDirectory.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace lunvik {
namespace {

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return user->pw_dir;
    return {};
}

}  // namespace

std::string PortDirectory() {
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is ignored, as the XDG rules say.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/')
        return std::string(config) + "/lunvik/ports";
    const std::string home = HomeDirectory();
    if (home.empty()) return {};
    return home + "/.config/lunvik/ports";
}

std::string ResolveComPort(unsigned int portNumber) {
    if (portNumber == 0) return {};
    const std::string directory = PortDirectory();
    if (!directory.empty()) {
        const std::filesystem::path entry =
            std::filesystem::path(directory) / ("COM" + std::to_string(portNumber));
        std::error_code error;
        const auto status = std::filesystem::symlink_status(entry, error);
        if (!error && std::filesystem::is_symlink(status)) {
            const std::filesystem::path target = std::filesystem::read_symlink(entry, error);
            if (error) return entry.string();
            return target.is_absolute() ? target.string() : (entry.parent_path() / target).string();
        }
        // Anything else put there under the name (a device node, say) names itself.
        if (!error && std::filesystem::exists(status)) return entry.string();
    }
    if (portNumber <= 32) return "/dev/ttyS" + std::to_string(portNumber - 1);
    return {};
}

}  // namespace lunvik
