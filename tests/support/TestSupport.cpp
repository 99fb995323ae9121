#include "tests/support/TestSupport.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "tests/support/Environment.h"

namespace testsupport {

TempDir::TempDir() {
    // A fresh name that create_directory makes atomically: a clash just draws again.
    std::random_device seed;
    std::mt19937_64 draw(seed());
    const std::filesystem::path root = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream name;
        name << "pelorant-test-" << std::hex << draw();
        std::error_code error;
        if (std::filesystem::create_directory(root / name.str(), error)) {
            std::filesystem::permissions(root / name.str(), std::filesystem::perms::owner_all,
                                         error);
            path_ = root / name.str();
            return;
        }
    }
    throw std::runtime_error("no temporary directory could be made");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::string& contents) const {
    std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << contents;
    return file;
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) previous_ = old;
    SetEnvironment(name_, value);
}

ScopedEnv::~ScopedEnv() {
    SetEnvironment(name_, previous_);
}

BoxAnswer RecordingMessageBox::Show(const std::string& text, const std::string& caption,
                                    BoxIcon icon, BoxButtons buttons) {
    boxes.push_back(RecordedBox{text, caption, icon, buttons});
    if (buttons == BoxButtons::Ok) return BoxAnswer::Ok;
    if (answers_.empty()) return fallback;
    BoxAnswer answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

}  // namespace testsupport
