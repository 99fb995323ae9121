// Soak: load, write, run, reconnect and write again, 200 times (or as often as the first
// argument says) through the programming control against a virtual board in this process,
// then the same through the main window on the offscreen platform. Prints open files,
// threads and resident memory every 50 cycles; fails when a cycle's board memory differs
// from the file or the process does not stay flat.
#include <sys/stat.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "app/BootloaderApp.h"
#include "tests/soak/ControlDriver.h"
#include "tests/soak/MainWindowDriver.h"
#include "tools/sim/VirtualBoard.h"

namespace fs = std::filesystem;

namespace {

constexpr int kComNumber = 61;
const std::string kCatalogueDir = PELORANT_SOURCE_DIR "/catalogue/";
const std::string kSample = PELORANT_SOURCE_DIR "/samples/dsPIC30F4011-counter.hex";

// Settings, machine settings, the port directory and the lock of this run only.
fs::path MakeOwnEnvironment() {
    char pattern[] = "/tmp/pelorant-soak-XXXXXX";
    const fs::path dir = ::mkdtemp(pattern);
    fs::create_directories(dir / "config");
    fs::create_directories(dir / "run");
    ::chmod((dir / "run").c_str(), 0700);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (dir / "machine").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return dir;
}

std::unique_ptr<VirtualBoard> StartBoard(int comNumber) {
    BoardOptions options;
    options.cataloguePath = kCatalogueDir + "qor_dspiclist.xml";
    options.device = "dsPIC30F4011";
    options.comNumber = comNumber;
    std::string error;
    std::unique_ptr<VirtualBoard> board = VirtualBoard::Start(options, &error);
    if (!board) std::fprintf(stderr, "no virtual board: %s\n", error.c_str());
    return board;
}

bool SoakControl(int cycles) {
    const std::unique_ptr<VirtualBoard> board = StartBoard(0);
    if (!board) return false;
    ControlDriver driver(*board, kSample);
    const bool ok = RunSoak("control", driver, *board, cycles);
    theApp().m_serialPort.ClosePort();
    return ok;
}

bool SoakMainWindow(int cycles) {
    const std::unique_ptr<VirtualBoard> board = StartBoard(kComNumber);
    if (!board) return false;
    MainWindowDriver driver(*board, kComNumber, kSample);
    return RunSoak("main window", driver, *board, cycles);
}

}  // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 200;
    if (cycles < 1) {
        std::fprintf(stderr, "usage: soak [cycles]\n");
        return 2;
    }
    const fs::path dir = MakeOwnEnvironment();
    bool ok = false;
    {
        QApplication application(argc, argv);
        CBootloaderApp& app = theApp();
        std::snprintf(app.m_workingPath, sizeof app.m_workingPath, "%s", kCatalogueDir.c_str());
        app.m_osName = "nonXP";
        app.m_baudRate = 115200;
        ok = SoakControl(cycles) && SoakMainWindow(cycles);
    }
    std::error_code error;
    fs::remove_all(dir, error);
    std::printf("soak of %d cycles: %s\n", cycles, ok ? "passed" : "FAILED");
    return ok ? 0 : 1;
}
