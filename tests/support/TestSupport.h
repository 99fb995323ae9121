#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/MessageBox.h"

namespace testsupport {

// A fresh directory under the system temp dir, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // Writes `contents` to `name` inside the directory and returns the full path.
    std::filesystem::path Write(const std::string& name, const std::string& contents) const;

private:
    std::filesystem::path path_;
};

// Sets (or unsets) an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Paths that open without waiting but name no regular file, for the life of the object: a FIFO
// without a writer in `dir` and /dev/null on POSIX; a named pipe without a reader and the NUL
// device on Windows. Each platform has its own file.
class SpecialFiles {
public:
    explicit SpecialFiles(const std::filesystem::path& dir);
    ~SpecialFiles();
    SpecialFiles(const SpecialFiles&) = delete;
    SpecialFiles& operator=(const SpecialFiles&) = delete;
    std::string pipe;
    std::string device;

private:
    void* server_ = nullptr;  // the Windows pipe's own end
};

// The system's text for a file that does not exist, as a failed open reports it.
std::string MissingFileText();

struct RecordedBox {
    std::string text;
    std::string caption;
    BoxIcon icon;
    BoxButtons buttons;
};

// Records every box; YesNo questions get the queued answers in order, then `fallback`.
class RecordingMessageBox : public IMessageBox {
public:
    BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                   BoxButtons buttons) override;
    void QueueAnswer(BoxAnswer answer) { answers_.push_back(answer); }
    BoxAnswer fallback = BoxAnswer::No;
    std::vector<RecordedBox> boxes;

private:
    std::vector<BoxAnswer> answers_;
};

std::string ReadFile(const std::filesystem::path& path);

}  // namespace testsupport
