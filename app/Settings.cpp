#include "app/Settings.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "app/FileDescriptor.h"
#include "app/FileReplacement.h"
#include "app/RegistryFile.h"
#include "app/SettingsLocation.h"

namespace {

enum class FileState { Missing, Unusable, Usable };

// A settings file holds a few lines; anything larger is not read, so that a file of any size
// costs no more than this.
constexpr std::size_t kLargestFile = std::size_t{1} << 20;

std::string KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "no regular file";
}

// Reads and parses one settings file; `problem` says what is wrong with an unusable one. It is
// opened without waiting (a FIFO has no writer) and read up to kLargestFile bytes only.
FileState LoadFile(const std::string& path, std::optional<RegistryFile>& file,
                   std::string& problem) {
    if (path.empty()) return FileState::Missing;
    const std::string named = "the settings file " + path;
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return FileState::Missing;
        problem = named + " cannot be read: " + std::strerror(errno);
        return FileState::Unusable;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        problem = named + " cannot be read: " + std::strerror(errno);
        return FileState::Unusable;
    }
    if (S_ISDIR(info.st_mode)) {
        problem = named + " is a directory";
        return FileState::Unusable;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = named + " is " + KindOf(info.st_mode) + ", not a file";
        return FileState::Unusable;
    }
    const std::string tooLarge = named + " is larger than 1 MiB, more than a settings file holds";
    if (static_cast<std::uintmax_t>(info.st_size) > kLargestFile) {
        problem = tooLarge;
        return FileState::Unusable;
    }
    // The size may change while the file is read: read on, up to one byte past the limit.
    std::string text(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t length = 0;
    for (;;) {
        if (length == text.size()) {
            if (text.size() > kLargestFile) break;
            text.resize(std::min(2 * text.size(), kLargestFile + 1));
        }
        const ssize_t got = ::read(fd.get(), text.data() + length, text.size() - length);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            problem = named + " cannot be read: " + std::strerror(errno);
            return FileState::Unusable;
        }
        if (got == 0) break;
        length += static_cast<std::size_t>(got);
    }
    if (length > kLargestFile) {
        problem = tooLarge;
        return FileState::Unusable;
    }
    text.resize(length);
    file = RegistryFile::Parse(std::move(text));
    if (!file) {
        problem = named + " is not a settings file: its first line is not REGEDIT4";
        return FileState::Unusable;
    }
    return FileState::Usable;
}

// A value as the first file in the search order that holds it has it, and the file; or why
// there is none.
struct Lookup {
    std::optional<RegistryValue> value;
    std::string file;
    std::string problem;  // set when an unusable file stopped the search
};

Lookup LookUp(const char* subkey, const char* valueName) {
    Lookup lookup;
    if (subkey == nullptr || valueName == nullptr) return lookup;
    for (const std::string& path : SettingsFiles()) {
        std::optional<RegistryFile> file;
        const FileState state = LoadFile(path, file, lookup.problem);
        if (state == FileState::Unusable) return lookup;
        if (state == FileState::Missing) continue;
        if ((lookup.value = file->Find(subkey, valueName))) {
            lookup.file = path;
            return lookup;
        }
    }
    return lookup;
}

// Why a string read of the value looked up fails; empty when it succeeds.
std::string StringProblem(const Lookup& lookup, const char* valueName) {
    const std::string setting = "the setting \"" + std::string(valueName ? valueName : "") + "\"";
    if (!lookup.problem.empty()) return lookup.problem;
    if (!lookup.value) return setting + " is missing";
    if (lookup.value->type != RegistryValue::Type::String) {
        return setting + " in " + lookup.file + " is not a text";
    }
    if (lookup.value->text.size() >= kSettingTextBytes) {
        return setting + " in " + lookup.file + " is " + std::to_string(lookup.value->text.size()) +
               " characters long; a setting holds at most " + std::to_string(kSettingTextBytes - 1);
    }
    return {};
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
    std::string problem;
    const FileState state = LoadFile(path, file, problem);
    if (state == FileState::Unusable) return -1;
    if (state == FileState::Missing) file = RegistryFile::Parse("");
    if (!file->Set(subkey, valueName, value)) return -1;
    return ReplaceFile(path, file->Serialize()) ? 0 : -1;
}

}  // namespace

int ReadSettingString(char* buffer, const char* subkey, const char* valueName) {
    if (buffer == nullptr) return -1;
    buffer[0] = '\0';
    const Lookup lookup = LookUp(subkey, valueName);
    if (!StringProblem(lookup, valueName).empty()) return -1;
    std::memcpy(buffer, lookup.value->text.c_str(), lookup.value->text.size() + 1);
    return 0;
}

std::string SettingStringProblem(const char* subkey, const char* valueName) {
    return StringProblem(LookUp(subkey, valueName), valueName);
}

std::vector<std::string> SettingsFiles() {
    const SettingsPlaces places = CurrentSettingsPlaces();
    std::vector<std::string> files = places.machineFiles;
    files.insert(files.begin(), places.userFile);
    return files;
}

int ReadSettingDword(std::int32_t* value, const char* subkey, const char* valueName) {
    if (value == nullptr) return -1;
    *value = -1;
    const std::optional<RegistryValue> stored = LookUp(subkey, valueName).value;
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
