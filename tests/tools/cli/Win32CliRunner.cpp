#include <windows.h>

#include <chrono>
#include <thread>

#include "tests/tools/cli/CliRunner.h"

namespace {

constexpr auto kHangLimit = std::chrono::seconds(60);
constexpr DWORD kWatchPeriodMs = 20;

// One argument as the C runtime's command-line parser reads it back: quoted when it holds
// blanks or quotes (or is empty), backslashes doubled only where a quote follows them.
std::string Quoted(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

// A pipe whose write end the child inherits; the read end stays here.
struct Pipe {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    bool Open() {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        return CreatePipe(&read, &write, &inherit, 0) &&
               SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    }
};

void Drain(HANDLE pipe, std::string* sink) {
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && got > 0) sink->append(chunk, got);
    CloseHandle(pipe);
}

// The tool writes its output in text mode: CR LF line ends become the LF the tests expect.
std::string TextLines(const std::string& text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lines += text[i];
    }
    return lines;
}

}  // namespace

CliRun RunCliWatched(const std::vector<std::string>& args,
                     const std::function<void(CliProcessId)>& watch) {
    const std::string program = PELORANT_CLI_PATH;
    std::string commandLine = Quoted(program);
    for (const std::string& arg : args) commandLine += " " + Quoted(arg);

    CliRun run;
    Pipe out;
    Pipe err;
    if (!out.Open() || !err.Open()) return run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.write;
    startup.hStdError = err.write;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, nullptr, &startup, &process);
    // Only the child holds the write ends now: the reads end when it exits.
    CloseHandle(out.write);
    CloseHandle(err.write);
    std::string rawOut;
    std::string rawErr;
    std::thread outReader(Drain, out.read, &rawOut);
    std::thread errReader(Drain, err.read, &rawErr);
    if (!started) {
        outReader.join();
        errReader.join();
        return run;
    }
    CloseHandle(process.hThread);

    const auto end = std::chrono::steady_clock::now() + kHangLimit;
    bool killed = false;
    while (WaitForSingleObject(process.hProcess, kWatchPeriodMs) == WAIT_TIMEOUT) {
        if (std::chrono::steady_clock::now() > end && !killed) {
            TerminateProcess(process.hProcess, 1);
            killed = true;
        }
        watch(process.dwProcessId);
    }
    outReader.join();
    errReader.join();
    DWORD code = 0;
    // An exit code beyond a byte is an exception's status, not one the tool chose.
    if (!killed && GetExitCodeProcess(process.hProcess, &code) && code <= 0xFF) {
        run.status = static_cast<int>(code);
    }
    CloseHandle(process.hProcess);
    run.out = TextLines(rawOut);
    run.err = TextLines(rawErr);
    return run;
}

// Windows keeps no lock files: the tool cannot tell who holds a port.
std::string HolderOfPortHeldHere() {
    return "another program holds it";
}
