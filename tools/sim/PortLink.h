#pragma once

#include <memory>
#include <string>

namespace board {

// A COM<n> link in the serial library's port directory that names the board's device.
// Only a missing or dangling link is (re)placed; the link is removed again only while it
// still names our device.
class PortLink {
public:
    static std::unique_ptr<PortLink> Publish(int comNumber, const std::string& devicePath,
                                             std::string* error);
    ~PortLink() { Remove(); }
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    void Remove();

private:
    PortLink(std::string linkPath, std::string devicePath);

    std::string linkPath_;
    std::string devicePath_;
};

// Whether COM<n> can be published: no link by that name, or one whose target is gone.
bool ComNumberFree(int comNumber);

}  // namespace board
