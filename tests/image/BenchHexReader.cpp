// Reads a generated 1 MB HEX file into the images and converts the same file with
// srec_cat, and prints both rates and their ratio.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>

#include "image/HexReader.h"
#include "tests/support/TestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Record(std::uint32_t address, std::uint32_t type, const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string line = ":";
    unsigned sum = 0;
    auto put = [&](unsigned byte) {
        line += digits[byte >> 4];
        line += digits[byte & 15];
        sum += byte;
    };
    put(static_cast<unsigned>(bytes.size()));
    put(address >> 8 & 0xFF);
    put(address & 0xFF);
    put(type);
    for (unsigned char byte : bytes) put(byte);
    put((0x100 - (sum & 0xFF)) & 0xFF);
    return line + "\n";
}

// Program flash records of 16 bytes (four instructions with their zero phantom byte),
// with a type-04 record at every 64 KB, until the file reaches `targetSize`.
std::string GenerateHexFile(std::size_t targetSize) {
    std::mt19937 random(30);
    std::string text;
    std::uint32_t byteAddress = 0;
    while (text.size() < targetSize) {
        if ((byteAddress & 0xFFFF) == 0) {
            const std::uint32_t upper = byteAddress >> 16;
            text += Record(0, 4, std::string{char(upper >> 8), char(upper & 0xFF)});
        }
        std::string bytes;
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t instruction = random() & 0xFFFFFF;
            bytes += {char(instruction & 0xFF), char(instruction >> 8 & 0xFF),
                      char(instruction >> 16), '\0'};
        }
        text += Record(byteAddress & 0xFFFF, 0, bytes);
        byteAddress += 16;
    }
    return text + Record(0, 1, "");
}

double BestSeconds(int runs, const auto& work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto started = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - started).count());
    }
    return best;
}

}  // namespace

int main() {
    testsupport::TempDir dir;
    const auto hexPath = dir.Write("bench.hex", GenerateHexFile(1 << 20));
    const double megabytes = static_cast<double>(std::filesystem::file_size(hexPath)) / 1e6;

    CMemoryImage code, data, config;
    code.SetRange(0x000000, 0x03FFFE);
    data.SetRange(0x7FF000, 0x7FFFFE);
    config.SetRange(0xF80000, 0xF8000E);
    int result = 0;
    const double readerSeconds = BestSeconds(10, [&] {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(hexPath.c_str(), "r"),
                                                             &std::fclose);
        code.Clear();
        result = ReadHexFile(file.get(), code, data, config);
    });
    if (result != 1) {
        std::cerr << "ReadHexFile failed with " << result << "\n";
        return 1;
    }

    const std::string command = "srec_cat '" + hexPath.string() + "' -Intel -o '" +
                                (dir.path() / "out.bin").string() + "' -Binary";
    bool srecFailed = false;
    const double srecSeconds =
        BestSeconds(3, [&] { srecFailed = srecFailed || std::system(command.c_str()) != 0; });
    if (srecFailed) {
        std::cerr << "srec_cat failed (is the srecord package installed?)\n";
        return 1;
    }

    std::printf("HEX file: %.2f MB, program flash words 0x0 .. 0x%X\n", megabytes,
                static_cast<unsigned>(code.LastUsedAddress()));
    std::printf("ReadHexFile: %.4f s, %.1f MB/s\n", readerSeconds, megabytes / readerSeconds);
    std::printf("srec_cat   : %.4f s, %.1f MB/s\n", srecSeconds, megabytes / srecSeconds);
    std::printf("ReadHexFile is %.1f times as fast as srec_cat\n", srecSeconds / readerSeconds);
    return 0;
}
