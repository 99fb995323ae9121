#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/MessageBox.h"

// Shared by the fuzz targets: under libFuzzer and in the regression replay alike, a broken
// invariant aborts with its place and condition, which both report as a failure.
[[noreturn]] void FuzzFail(const char* file, int line, const char* condition);
#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : FuzzFail(__FILE__, __LINE__, #condition))

namespace fuzz {

// A directory of this process for the files a target hands to code that reads paths;
// on tmpfs when the machine has one, so that an input costs no disk write. Removed at exit.
const std::filesystem::path& ScratchDir();

void WriteFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size);
void WriteFile(const std::filesystem::path& path, const std::string& text);
std::string ReadFile(const std::filesystem::path& path);

// Answers every box with OK (No to questions) and counts the error boxes.
class CountingBoxes : public IMessageBox {
public:
    BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                   BoxButtons buttons) override;
    int shown = 0;
    int errors = 0;
};

}  // namespace fuzz
