#include "tests/fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

void FuzzFail(const char* file, int line, const char* condition) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

namespace fuzz {

namespace {

class Scratch {
public:
    Scratch() {
        std::error_code error;
        const fs::path base =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        path_ = base / ("pelorant-fuzz-" + std::to_string(::getpid()));
        fs::remove_all(path_, error);
        fs::create_directories(path_);
    }
    ~Scratch() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace

const fs::path& ScratchDir() {
    static const Scratch scratch;
    return scratch.Path();
}

void WriteFile(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    FUZZ_CHECK(out.good());
}

void WriteFile(const fs::path& path, const std::string& text) {
    WriteFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

BoxAnswer CountingBoxes::Show(const std::string&, const std::string&, BoxIcon icon,
                              BoxButtons buttons) {
    ++shown;
    if (icon == BoxIcon::Error) ++errors;
    return buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::No;
}

}  // namespace fuzz
