#include "tools/sim/WinePrefix.h"

#include <algorithm>
#include <cctype>

namespace boardhost {

std::string WinePrefix::LinuxPath(const std::string& programPath) const {
    std::string path = programPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
        return directory_ + "/dosdevices/" + drive + ':' + path.substr(2);
    }
    return path;
}

std::string WinePrefix::LinkPath(int number) const {
    return directory_ + "/dosdevices/com" + std::to_string(number);
}

std::unique_ptr<board::PortLink> WinePrefix::MapPort(int& number, const std::string& devicePath,
                                                     std::string* error) const {
    if (number != 0) {
        if (number < 1 || number > kLastCom) {
            if (error) *error = "Wine maps COM1 to COM" + std::to_string(kLastCom) + " only";
            return nullptr;
        }
        return board::PortLink::Create(LinkPath(number), "COM" + std::to_string(number), devicePath,
                                       error);
    }
    for (int candidate = kFirstAutomaticCom; candidate <= kLastCom; ++candidate) {
        if (!board::LinkFree(LinkPath(candidate))) continue;
        // Another board may take the number first: then try the next one.
        if (auto link = board::PortLink::Create(
                LinkPath(candidate), "COM" + std::to_string(candidate), devicePath, nullptr)) {
            number = candidate;
            return link;
        }
    }
    if (error) *error = "no free COM number in the Wine prefix " + directory_;
    return nullptr;
}

}  // namespace boardhost
