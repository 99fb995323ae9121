#pragma once

#include <cstdio>
#include <string>

// Where the tool's text goes: results and log lines on stdout, everything else on stderr.
// On a terminal, stderr may also hold one transient line (a progress bar) that is wiped
// before any other text is printed.
class ConsoleOutput {
public:
    ConsoleOutput(std::FILE* out, std::FILE* err, bool quiet);

    bool Quiet() const { return quiet_; }
    bool ErrIsTerminal() const { return errIsTerminal_; }

    void Result(const std::string& line);     // stdout, always
    void Log(const std::string& line);        // stdout, unless quiet
    void Note(const std::string& line);       // stderr, unless quiet
    void Error(const std::string& line);      // stderr, always
    void Transient(const std::string& text);  // stderr on a terminal, unless quiet

private:
    void Write(std::FILE* stream, const std::string& line);

    std::FILE* out_;
    std::FILE* err_;
    bool quiet_;
    bool errIsTerminal_;
    bool transientShown_ = false;
};
