#include "tools/cli/ConsoleOutput.h"

#include <unistd.h>

ConsoleOutput::ConsoleOutput(std::FILE* out, std::FILE* err, bool quiet)
    : out_(out), err_(err), quiet_(quiet), errIsTerminal_(isatty(fileno(err)) == 1) {}

void ConsoleOutput::Result(const std::string& line) {
    Write(out_, line);
}

void ConsoleOutput::Log(const std::string& line) {
    if (!quiet_) Write(out_, line);
}

void ConsoleOutput::Note(const std::string& line) {
    if (!quiet_) Write(err_, line);
}

void ConsoleOutput::Error(const std::string& line) {
    Write(err_, line);
}

void ConsoleOutput::Transient(const std::string& text) {
    if (quiet_ || !errIsTerminal_) return;
    std::fprintf(err_, "\r%s\033[K", text.c_str());
    std::fflush(err_);
    transientShown_ = true;
}

void ConsoleOutput::Write(std::FILE* stream, const std::string& line) {
    if (transientShown_) {
        std::fputs("\r\033[K", err_);
        std::fflush(err_);
        transientShown_ = false;
    }
    std::fprintf(stream, "%s\n", line.c_str());
    std::fflush(stream);
}
