#pragma once

#include <filesystem>
#include <memory>

namespace testsupport {

// The application's per-user settings and run-time files live in places of the test's own for
// the life of the object, so that nothing a test writes outlives it and nothing another run
// left behind is read: the XDG configuration and runtime directories inside `dir` on POSIX
// (settings, the port directory, port locks, the single-instance marker), a fresh registry key
// standing in for HKEY_CURRENT_USER on Windows. Each platform has its own file.
class PrivateSettings {
public:
    explicit PrivateSettings(const std::filesystem::path& dir);
    ~PrivateSettings();
    PrivateSettings(const PrivateSettings&) = delete;
    PrivateSettings& operator=(const PrivateSettings&) = delete;

private:
    struct Place;
    std::unique_ptr<Place> place_;
};

}  // namespace testsupport
