#include "tests/soak/SoakRun.h"

#include <cstdint>
#include <cstdio>

#include "app/BootloaderApp.h"
#include "protocol/RowPlan.h"
#include "tests/soak/ProcessGauge.h"
#include "tools/sim/VirtualBoard.h"

namespace {

// A leak of a few bytes per cycle would show over 200 cycles; the log list of the main
// window grows by its lines, which stays far below this.
constexpr long kResidentGrowthLimitKiB = 32 * 1024;

// The address and thread checkers keep freed memory in quarantine and shadow, so the resident
// size grows whatever the program does: there only descriptors and threads are measured.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kResidentSizeMeans = false;
#else
constexpr bool kResidentSizeMeans = true;
#endif

// The rows a write of the ticked blocks sends, each word of them as the board holds it;
// counts the rows into `rows`.
bool BoardHoldsImage(const VirtualBoard& board, const std::array<bool, 3>& ticked,
                     std::size_t& rows) {
    CDeviceInfo& device = theApp().m_device;
    rows = 0;
    for (int block = 0; block < 3; ++block) {
        if (!ticked[block]) continue;
        CMemoryImage& image = device.images[block];
        const int units = 2 * image.instructionsPerRow;
        const RowPlan plan = PlanRows(image, units, device.bootStart, device.bootEnd);
        for (const std::uint32_t row : plan.rows) {
            for (std::uint32_t address = row; address < row + static_cast<std::uint32_t>(units);
                 ++address) {
                const auto word = board.Word(address);
                if (!word || *word != image.ReadWord(address)) {
                    std::fprintf(stderr, "board word 0x%06X differs from the file\n", address);
                    return false;
                }
            }
        }
        rows += plan.rows.size();
    }
    return true;
}

bool WriteAndCompare(SoakDriver& driver, const VirtualBoard& board) {
    const std::size_t before = board.RowsProgrammed();
    if (!driver.Write()) return false;
    std::size_t rows = 0;
    if (!BoardHoldsImage(board, driver.TickedBlocks(), rows)) return false;
    if (board.RowsProgrammed() - before != rows) {
        std::fprintf(stderr, "the board programmed %zu rows, the plan has %zu\n",
                     board.RowsProgrammed() - before, rows);
        return false;
    }
    return rows > 0;
}

bool Fail(const std::string& name, int cycle, const char* step) {
    std::fprintf(stderr, "%s: cycle %d: %s failed\n", name.c_str(), cycle, step);
    return false;
}

}  // namespace

bool RunSoak(const std::string& name, SoakDriver& driver, const VirtualBoard& board, int cycles) {
    if (!driver.Connect()) return Fail(name, 0, "connect");
    ProcessGauge first;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        if (!driver.Load()) return Fail(name, cycle, "load");
        if (!WriteAndCompare(driver, board)) return Fail(name, cycle, "write");
        if (!driver.Run()) return Fail(name, cycle, "run");
        if (!driver.Reconnect()) return Fail(name, cycle, "reconnect");
        if (!WriteAndCompare(driver, board)) return Fail(name, cycle, "write after reconnect");

        const ProcessGauge now = MeasureProcess();
        if (cycle == 1) first = now;
        if (cycle == 1 || cycle % 50 == 0 || cycle == cycles) {
            std::printf("%s: cycle %d: %s\n", name.c_str(), cycle, Describe(now).c_str());
            std::fflush(stdout);
        }
        if (now.openFiles > first.openFiles || now.threads > first.threads ||
            (kResidentSizeMeans && now.residentKiB - first.residentKiB > kResidentGrowthLimitKiB)) {
            std::fprintf(stderr, "%s: cycle %d: %s, after cycle 1 %s\n", name.c_str(), cycle,
                         Describe(now).c_str(), Describe(first).c_str());
            return Fail(name, cycle, "keeping the process flat");
        }
    }
    return true;
}
