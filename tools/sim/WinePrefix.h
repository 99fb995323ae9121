#pragma once

#include <memory>
#include <string>

#include "tools/sim/PortLink.h"

namespace boardhost {

// The Wine prefix whose programs use the host's boards: their paths, and their COM ports
// (a link dosdevices/com<n> opens the link's target when a program opens COM<n>).
class WinePrefix {
public:
    explicit WinePrefix(std::string directory) : directory_(std::move(directory)) {}

    // The Linux path of a program's path: "C:\x\y" lies under the prefix's drive C:, a path
    // without a drive (Unix style, or rooted on drive Z:) stays as it is.
    std::string LinuxPath(const std::string& programPath) const;
    // Links COM<number> to `devicePath`; a number of 0 takes the first free one from
    // kFirstAutomaticCom and sets `number` to it.
    std::unique_ptr<board::PortLink> MapPort(int& number, const std::string& devicePath,
                                             std::string* error) const;

    static constexpr int kFirstAutomaticCom = 20;
    static constexpr int kLastCom = 256;  // the highest COM number Wine maps

private:
    std::string LinkPath(int number) const;

    std::string directory_;
};

}  // namespace boardhost
