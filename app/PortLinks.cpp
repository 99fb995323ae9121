#include "app/PortLinks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "app/FailureText.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxNumberDigits = 9;
// Far more numbers than devices a machine can carry; bounds the search.
constexpr unsigned kLastAssignedComNumber = 9999;

std::optional<unsigned> ParseLinkNumber(const std::string& name) {
    if (name.size() <= 3 || name.size() > 3 + kMaxNumberDigits || name.compare(0, 3, "COM") != 0 ||
        name[3] == '0') {
        return std::nullopt;
    }
    unsigned number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
        number = number * 10 + static_cast<unsigned>(name[i] - '0');
    }
    return number;
}

std::optional<std::string> EnsureDirectory(const std::string& directory) {
    std::error_code error;
    fs::create_directories(fs::path(directory).parent_path(), error);
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
        const int code = errno;
        return FailureText("Could not create the port directory " + directory, code);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadPortLinks(const std::string& directory,
                                         std::vector<PortLink>& links) {
    std::error_code error;
    if (!fs::exists(directory, error)) return std::nullopt;
    fs::directory_iterator it(directory, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::optional<unsigned> number = ParseLinkNumber(it->path().filename().string());
        if (!number) continue;
        PortLink link;
        link.number = *number;
        std::error_code linkError;
        const fs::path device = fs::canonical(it->path(), linkError);
        if (!linkError && !fs::is_directory(device, linkError) && !linkError) {
            link.device = device.string();
        }
        links.push_back(std::move(link));
    }
    if (error) return FailureText("Could not read the port directory " + directory, error.value());
    std::sort(links.begin(), links.end(),
              [](const PortLink& a, const PortLink& b) { return a.number < b.number; });
    return std::nullopt;
}

std::optional<std::string> CreatePortLink(const std::string& directory, const std::string& target,
                                          unsigned& number) {
    if (directory.empty()) {
        return "Could not record a COM number for " + target + ": no home directory";
    }
    if (std::optional<std::string> failure = EnsureDirectory(directory)) return failure;
    for (unsigned candidate = kFirstAssignedComNumber; candidate <= kLastAssignedComNumber;
         ++candidate) {
        const std::string link = directory + "/COM" + std::to_string(candidate);
        if (::symlink(target.c_str(), link.c_str()) == 0) {
            number = candidate;
            return std::nullopt;
        }
        if (const int code = errno; code != EEXIST) {
            return FailureText("Could not record a COM number for " + target + " in " + directory,
                               code);
        }
    }
    return "Could not record a COM number for " + target + ": no number left in " + directory;
}
