// Writes a full dsPIC30F4011 image (program flash up to the bootloader and the whole data
// EEPROM) to a virtual board with line timing and compares the time with what the line
// itself costs: every frame byte and acknowledge byte at 10 bit times, plus the programming
// time of every row. A run without line timing first shows the software's own turnaround
// per row (host and virtual board together).
//
// Usage: bench_row_writer [baud ...]   (default: 115200 9600)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/BootloaderApp.h"
#include "catalogue/Catalogue.h"
#include "protocol/Frames.h"
#include "protocol/RowPlan.h"
#include "protocol/Workers.h"
#include "tools/sim/VirtualBoard.h"

namespace {

constexpr const char* kDevice = "dsPIC30F4011";
constexpr std::chrono::microseconds kRowProgramTime{2000};

class DiscardingTarget : public MessageTarget {
public:
    void Post(unsigned, std::intptr_t, std::intptr_t) override {}
};

struct Figures {
    std::size_t rows = 0;
    double boundSeconds = 0;
    double measuredSeconds = 0;
    BlockResult result = BlockResult::Ok;

    Figures& operator+=(const Figures& other) {
        rows += other.rows;
        boundSeconds += other.boundSeconds;
        measuredSeconds += other.measuredSeconds;
        if (result == BlockResult::Ok) result = other.result;
        return *this;
    }
};

// The instruction words carry no phantom byte, as a tool chain's HEX file has them.
void FillEveryWord(CMemoryImage& image, std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t a = first; a <= last; ++a) {
        image.WriteWord(a, static_cast<std::uint16_t>(a % 2 == 0 ? a * 0x9E37 : a & 0xFF));
    }
}

// `baud` 0: no line timing, so the bound is 0.
Figures WriteBlock(CMemoryImage& image, const CDeviceInfo& device, unsigned baud) {
    Figures figures;
    const int rowUnits = 2 * image.instructionsPerRow;
    figures.rows = PlanRows(image, rowUnits, device.bootStart, device.bootEnd).rows.size();
    if (baud != 0) {
        const double bytesPerRow = bootproto::WriteFrameLength(rowUnits) + 1.0;
        const double programSeconds = std::chrono::duration<double>(kRowProgramTime).count();
        figures.boundSeconds =
            static_cast<double>(figures.rows) * (bytesPerRow * 10.0 / baud + programSeconds);
    }
    DiscardingTarget target;
    const auto started = std::chrono::steady_clock::now();
    WriteJob job;
    job.line = &theApp().m_line;
    job.image = &image;
    job.rowUnits = rowUnits;
    job.bootStart = device.bootStart;
    job.bootEnd = device.bootEnd;
    job.notifyWindow = &target;
    figures.result = WriteRows(job);
    figures.measuredSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return figures;
}

void Print(unsigned baud, const char* label, const Figures& f) {
    char failed[40] = "";
    if (f.result != BlockResult::Ok)
        std::snprintf(failed, sizeof failed, "  (block result %d)", Code(f.result));
    if (baud == 0) {
        std::printf("no line timing  %-6s  %4zu rows  measured %8.3f s  %6.0f us per row%s\n",
                    label, f.rows, f.measuredSeconds,
                    f.measuredSeconds * 1e6 / static_cast<double>(f.rows), failed);
    } else {
        std::printf("%6u baud     %-6s  %4zu rows  measured %8.3f s  bound %8.3f s  %+6.2f %%%s\n",
                    baud, label, f.rows, f.measuredSeconds, f.boundSeconds,
                    (f.measuredSeconds / f.boundSeconds - 1.0) * 100.0, failed);
    }
    std::fflush(stdout);
}

// Fills the device's flash below the bootloader and its whole EEPROM.
bool PrepareImage(const std::string& cataloguePath, std::string& id) {
    const std::optional<std::string> found = ResolveDeviceIdentifier(cataloguePath, kDevice);
    std::string name;
    CDeviceInfo& device = theApp().m_device;
    if (!found || LookupDevice(cataloguePath, *found, device, name) != CatalogueLookup::Found) {
        std::fprintf(stderr, "cannot read %s from %s\n", kDevice, cataloguePath.c_str());
        return false;
    }
    id = *found;
    CMemoryImage& code = device.images[kBlockCode];
    CMemoryImage& data = device.images[kBlockEeprom];
    FillEveryWord(code, code.GetStart(), device.bootStart - 1);
    FillEveryWord(data, data.GetStart(), data.GetEnd());
    return true;
}

bool RunAt(unsigned baud, const std::string& cataloguePath, const std::string& id) {
    BoardOptions options;
    options.cataloguePath = cataloguePath;
    options.device = id;
    options.lineTiming = baud != 0;
    options.baud = baud != 0 ? baud : 115200;
    options.rowProgramTime = kRowProgramTime;
    std::string error;
    std::unique_ptr<VirtualBoard> board = VirtualBoard::Start(options, &error);
    if (!board) {
        std::fprintf(stderr, "virtual board: %s\n", error.c_str());
        return false;
    }
    CSerialPort& port = theApp().m_serialPort;
    if (port.InitPort(board->DevicePath().c_str(), options.baud, 'N', 8, 1, 9, 512) != 1) {
        std::fprintf(stderr, "cannot open %s\n", board->DevicePath().c_str());
        return false;
    }
    port.SetTimeouts(100, 100, 100, 100, 100);

    CDeviceInfo& device = theApp().m_device;
    Figures total;
    for (auto [label, k] : {std::pair{"flash", kBlockCode}, {"eeprom", kBlockEeprom}}) {
        const Figures block = WriteBlock(device.images[k], device, baud);
        Print(baud, label, block);
        total += block;
    }
    Print(baud, "total", total);
    port.ClosePort();
    return total.result == BlockResult::Ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<unsigned> bauds;
    for (int i = 1; i < argc; ++i) bauds.push_back(static_cast<unsigned>(std::atoi(argv[i])));
    if (bauds.empty()) bauds = {115200, 9600};
    const std::string cataloguePath =
        std::string(PELORANT_SOURCE_DIR) + "/catalogue/qor_dspiclist.xml";
    std::string id;
    if (!PrepareImage(cataloguePath, id)) return 1;
    bool ok = RunAt(0, cataloguePath, id);
    for (unsigned baud : bauds) ok = RunAt(baud, cataloguePath, id) && ok;
    return ok ? 0 : 1;
}
