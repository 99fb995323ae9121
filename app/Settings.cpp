#include "app/Settings.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "app/AtomicFile.h"
#include "app/RegistryFile.h"
#include "app/SettingsLocation.h"

namespace {

enum class FileState { Missing, Unusable, Usable };

// Reads and parses one settings file.
FileState LoadFile(const std::string& path, std::optional<RegistryFile>& file) {
    std::error_code error;
    if (path.empty() || (!std::filesystem::exists(path, error) && !error)) {
        return FileState::Missing;
    }
    if (!std::filesystem::is_regular_file(path, error)) return FileState::Unusable;
    std::ifstream in(path, std::ios::binary);
    if (!in) return FileState::Unusable;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return FileState::Unusable;
    file = RegistryFile::Parse(text.str());
    return file ? FileState::Usable : FileState::Unusable;
}

// The value as the first file in the search order that holds it has it.
std::optional<RegistryValue> LookUp(const char* subkey, const char* valueName) {
    if (subkey == nullptr || valueName == nullptr) return std::nullopt;
    const SettingsPlaces places = CurrentSettingsPlaces();
    std::vector<std::string> files = places.machineFiles;
    files.insert(files.begin(), places.userFile);
    for (const std::string& path : files) {
        std::optional<RegistryFile> file;
        const FileState state = LoadFile(path, file);
        if (state == FileState::Unusable) return std::nullopt;
        if (state == FileState::Missing) continue;
        if (std::optional<RegistryValue> value = file->Find(subkey, valueName)) return value;
    }
    return std::nullopt;
}

// Holds an exclusive lock on the settings directory so that two writers cannot both read the
// old file and lose one another's value.
class DirectoryLock {
public:
    explicit DirectoryLock(const std::string& directory)
        : fd_(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~DirectoryLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_;
};

bool EnsureDirectory(const std::filesystem::path& directory) {
    std::error_code error;
    std::filesystem::create_directories(directory.parent_path(), error);
    return ::mkdir(directory.c_str(), 0700) == 0 || errno == EEXIST;
}

int Write(const char* subkey, const char* valueName, const RegistryValue& value) {
    if (subkey == nullptr || valueName == nullptr) return -1;
    const std::string path = CurrentSettingsPlaces().userFile;
    if (path.empty()) return -1;
    const std::filesystem::path directory = std::filesystem::path(path).parent_path();
    if (!EnsureDirectory(directory)) return -1;
    const DirectoryLock lock(directory);
    if (!lock.Held()) return -1;
    std::optional<RegistryFile> file;
    const FileState state = LoadFile(path, file);
    if (state == FileState::Unusable) return -1;
    if (state == FileState::Missing) file = RegistryFile::Parse("");
    if (!file->Set(subkey, valueName, value)) return -1;
    return ReplaceFileAtomically(path, file->Serialize()) ? 0 : -1;
}

}  // namespace

int ReadSettingString(char* buffer, const char* subkey, const char* valueName) {
    if (buffer == nullptr) return -1;
    buffer[0] = '\0';
    const std::optional<RegistryValue> value = LookUp(subkey, valueName);
    if (!value || value->type != RegistryValue::Type::String ||
        value->text.size() >= kSettingTextBytes) {
        return -1;
    }
    std::memcpy(buffer, value->text.c_str(), value->text.size() + 1);
    return 0;
}

int ReadSettingDword(std::int32_t* value, const char* subkey, const char* valueName) {
    if (value == nullptr) return -1;
    *value = -1;
    const std::optional<RegistryValue> stored = LookUp(subkey, valueName);
    if (!stored || stored->type != RegistryValue::Type::Dword) return -1;
    *value = static_cast<std::int32_t>(stored->number);
    return 0;
}

int WriteSettingString(const char* text, const char* subkey, const char* valueName) {
    if (text == nullptr) return -1;
    RegistryValue value;
    value.type = RegistryValue::Type::String;
    value.text = text;
    return Write(subkey, valueName, value);
}

int WriteSettingDword(std::uint32_t value, const char* subkey, const char* valueName) {
    RegistryValue stored;
    stored.type = RegistryValue::Type::Dword;
    stored.number = value;
    return Write(subkey, valueName, stored);
}
