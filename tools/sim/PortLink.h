#pragma once

#include <memory>
#include <string>

namespace board {

// A link that names the board's device: COM<n> in the serial library's port directory, or
// a port of a Wine prefix. Only a missing or dangling link is (re)placed; the link is removed
// again only while it still names our device.
class PortLink {
public:
    static std::unique_ptr<PortLink> Publish(int comNumber, const std::string& devicePath,
                                             std::string* error);
    // `linkPath` in a directory that exists; `name` says what it is in a refusal.
    static std::unique_ptr<PortLink> Create(const std::string& linkPath, const std::string& name,
                                            const std::string& devicePath, std::string* error);
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
bool LinkFree(const std::string& linkPath);

}  // namespace board
