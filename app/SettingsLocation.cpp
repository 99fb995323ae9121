#include "app/SettingsLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace {

constexpr const char* kRelativeFile = "/Vardeno/registry.reg";

std::mutex& PlacesMutex() {
    static std::mutex mutex;
    return mutex;
}

std::optional<SettingsPlaces>& ChosenPlaces() {
    static std::optional<SettingsPlaces> places;
    return places;
}

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); IsAbsolute(home)) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        IsAbsolute(found->pw_dir)) {
        return found->pw_dir;
    }
    return {};
}

}  // namespace

std::string UserSettingsFile() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); IsAbsolute(config)) {
        return config + std::string(kRelativeFile);
    }
    const std::string home = HomeDirectory();
    if (home.empty()) return {};
    return home + "/.config" + kRelativeFile;
}

std::vector<std::string> MachineSettingsFiles() {
    std::vector<std::string> directories;
    if (const char* list = std::getenv("XDG_CONFIG_DIRS")) {
        const std::string text = list;
        for (std::size_t start = 0; start <= text.size();) {
            std::size_t end = text.find(':', start);
            if (end == std::string::npos) end = text.size();
            const std::string directory = text.substr(start, end - start);
            if (IsAbsolute(directory.c_str())) directories.push_back(directory);
            start = end + 1;
        }
    }
#ifdef PELORANT_SYSCONF_XDG_DIR
    directories.push_back(PELORANT_SYSCONF_XDG_DIR);
#endif
    directories.push_back("/etc/xdg");
    std::vector<std::string> files;
    for (const std::string& directory : directories) {
        const std::string file = directory + kRelativeFile;
        if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    }
    return files;
}

SettingsPlaces CurrentSettingsPlaces() {
    {
        const std::lock_guard<std::mutex> lock(PlacesMutex());
        if (ChosenPlaces()) return *ChosenPlaces();
    }
    return SettingsPlaces{UserSettingsFile(), MachineSettingsFiles()};
}

void UseSettingsPlaces(std::optional<SettingsPlaces> places) {
    const std::lock_guard<std::mutex> lock(PlacesMutex());
    ChosenPlaces() = std::move(places);
}
