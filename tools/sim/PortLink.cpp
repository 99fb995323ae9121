#include "tools/sim/PortLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "serial/PortDirectory.h"

namespace board {

namespace {

std::string LinkPath(int comNumber) {
    return lunvik::PortDirectory() + "/COM" + std::to_string(comNumber);
}

// Creates the directory and any missing parent, private to the user.
bool MakePrivateDirectories(const std::filesystem::path& directory, std::string* error) {
    std::filesystem::path partial;
    for (const auto& part : directory) {
        partial /= part;
        if (mkdir(partial.c_str(), 0700) == 0) continue;
        const int failure = errno;
        std::error_code ignored;
        if (!std::filesystem::is_directory(partial, ignored)) {
            if (error) {
                *error = "cannot create the port directory " + partial.string() + ": " +
                         std::strerror(failure);
            }
            return false;
        }
    }
    return true;
}

bool Dangling(const std::string& linkPath) {
    struct stat linkStatus {};
    struct stat targetStatus {};
    return lstat(linkPath.c_str(), &linkStatus) == 0 && S_ISLNK(linkStatus.st_mode) &&
           stat(linkPath.c_str(), &targetStatus) != 0 && errno == ENOENT;
}

std::string Describe(const std::string& linkPath) {
    std::error_code ignored;
    const auto target = std::filesystem::read_symlink(linkPath, ignored);
    return target.empty() ? linkPath + " exists" : linkPath + " already names " + target.string();
}

}  // namespace

PortLink::PortLink(std::string linkPath, std::string devicePath)
    : linkPath_(std::move(linkPath)), devicePath_(std::move(devicePath)) {}

std::unique_ptr<PortLink> PortLink::Publish(int comNumber, const std::string& devicePath,
                                            std::string* error) {
    if (comNumber <= 0) {
        if (error) *error = "COM numbers start at 1";
        return nullptr;
    }
    if (!MakePrivateDirectories(lunvik::PortDirectory(), error)) return nullptr;
    return Create(LinkPath(comNumber), "COM" + std::to_string(comNumber), devicePath, error);
}

std::unique_ptr<PortLink> PortLink::Create(const std::string& linkPath, const std::string& name,
                                           const std::string& devicePath, std::string* error) {
    // Two tries: a dangling link found on the first is removed and the link made anew.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (symlink(devicePath.c_str(), linkPath.c_str()) == 0) {
            return std::unique_ptr<PortLink>(new PortLink(linkPath, devicePath));
        }
        if (errno != EEXIST) {
            if (error) *error = "cannot create " + linkPath + ": " + std::strerror(errno);
            return nullptr;
        }
        if (!Dangling(linkPath)) break;
        unlink(linkPath.c_str());
    }
    if (error) *error = name + " is taken: " + Describe(linkPath);
    return nullptr;
}

void PortLink::Remove() {
    if (linkPath_.empty()) return;
    std::error_code failed;
    if (std::filesystem::read_symlink(linkPath_, failed) == devicePath_) unlink(linkPath_.c_str());
    linkPath_.clear();
}

bool ComNumberFree(int comNumber) {
    return LinkFree(LinkPath(comNumber));
}

bool LinkFree(const std::string& linkPath) {
    struct stat status {};
    return (lstat(linkPath.c_str(), &status) != 0 && errno == ENOENT) || Dangling(linkPath);
}

}  // namespace board
