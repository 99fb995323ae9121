#pragma once

#include <optional>
#include <string>
#include <vector>

// ttyS0-31 answer to COM1-COM32; numbers handed out to other devices start above them.
inline constexpr unsigned kFirstAssignedComNumber = 33;

// One entry COM<number> in the port directory: normally a symbolic link to a device, but
// anything of that name takes the number, as the serial library opens whatever it names.
struct PortLink {
    unsigned number = 0;
    std::string device;  // the canonical path it leads to; empty when that is gone or a directory
};

// Reads the entries named COM<n> (n from 1, no leading zeros) in `directory`, in number order.
// A missing directory holds none.
std::optional<std::string> ReadPortLinks(const std::string& directory,
                                         std::vector<PortLink>& links);

// Records `target` as the lowest free link COM<n>, n >= kFirstAssignedComNumber, in
// `directory` (created with mode 0700 when missing) and stores n in `number`. Every existing
// name stays taken, dangling links included, so an unplugged device keeps its number.
std::optional<std::string> CreatePortLink(const std::string& directory, const std::string& target,
                                          unsigned& number);
