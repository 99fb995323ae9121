// Writes a full dsPIC30F4011 image (program flash up to the bootloader and the whole data
// EEPROM) to a virtual board with line timing and compares the time with what the line
// itself costs: every frame byte and acknowledge byte at 10 bit times, plus the programming
// time of every row.
//
// Usage: bench_row_writer [baud ...]   (default: 115200 9600)

#include <atomic>
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

class CountingTarget : public MessageTarget {
public:
    void Post(unsigned, std::intptr_t, std::intptr_t) override { ++posted; }
    std::atomic<long> posted{0};
};

struct BlockFigures {
    std::size_t rows = 0;
    double boundSeconds = 0;
    double measuredSeconds = 0;
    int result = 0;
};

// The instruction words carry no phantom byte, as a tool chain's HEX file has them.
void FillEveryWord(CMemoryImage& image, std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t a = first; a <= last; ++a) {
        image.WriteWord(a, static_cast<std::uint16_t>(a % 2 == 0 ? a * 0x9E37 : a & 0xFF));
    }
}

BlockFigures WriteBlock(CMemoryImage& image, const CDeviceInfo& device, unsigned baud) {
    BlockFigures figures;
    const int rowUnits = 2 * image.instructionsPerRow;
    const RowPlan plan = PlanRows(image, rowUnits, device.bootStart, device.bootEnd);
    figures.rows = plan.rows.size();
    const double bytesPerRow = bootproto::WriteFrameLength(rowUnits) + 1.0;
    figures.boundSeconds =
        static_cast<double>(figures.rows) *
        (bytesPerRow * 10.0 / baud + std::chrono::duration<double>(kRowProgramTime).count());

    CountingTarget target;
    const auto started = std::chrono::steady_clock::now();
    figures.result = WriteRows(&image, rowUnits, &target, device.bootStart, device.bootEnd);
    figures.measuredSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return figures;
}

void Print(unsigned baud, const char* label, const BlockFigures& f) {
    const double overPercent = (f.measuredSeconds / f.boundSeconds - 1.0) * 100.0;
    std::printf("%6u baud  %-6s  %4zu rows  measured %8.3f s  bound %8.3f s  %+6.2f %%%s\n", baud,
                label, f.rows, f.measuredSeconds, f.boundSeconds, overPercent,
                f.result == kBlockOk ? "" : "  (block failed)");
    std::fflush(stdout);
}

bool RunAt(unsigned baud, const std::string& cataloguePath) {
    const std::optional<std::string> id = ResolveDeviceIdentifier(cataloguePath, kDevice);
    if (!id) {
        std::fprintf(stderr, "%s is not in %s\n", kDevice, cataloguePath.c_str());
        return false;
    }
    CDeviceInfo& device = theApp().m_device;
    std::string name;
    if (LookupDevice(cataloguePath, *id, device, name) != kCatalogueFound) {
        std::fprintf(stderr, "cannot read %s from %s\n", kDevice, cataloguePath.c_str());
        return false;
    }
    CMemoryImage& code = device.images[CDeviceInfo::kCode];
    CMemoryImage& data = device.images[CDeviceInfo::kData];
    code.Clear();
    data.Clear();
    FillEveryWord(code, code.GetStart(), device.bootStart - 1);
    FillEveryWord(data, data.GetStart(), data.GetEnd());

    BoardOptions options;
    options.cataloguePath = cataloguePath;
    options.device = *id;
    options.lineTiming = true;
    options.baud = baud;
    options.rowProgramTime = kRowProgramTime;
    std::string error;
    std::unique_ptr<VirtualBoard> board = VirtualBoard::Start(options, &error);
    if (!board) {
        std::fprintf(stderr, "virtual board: %s\n", error.c_str());
        return false;
    }
    CSerialPort& port = theApp().m_serialPort;
    if (port.InitPort(board->DevicePath().c_str(), baud, 'N', 8, 1, 9, 512) != 1) {
        std::fprintf(stderr, "cannot open %s\n", board->DevicePath().c_str());
        return false;
    }
    port.SetTimeouts(100, 100, 100, 100, 100);

    bool ok = true;
    BlockFigures total;
    for (auto [label, image] : {std::pair{"flash", &code}, std::pair{"eeprom", &data}}) {
        const BlockFigures f = WriteBlock(*image, device, baud);
        Print(baud, label, f);
        ok = ok && f.result == kBlockOk;
        total.rows += f.rows;
        total.boundSeconds += f.boundSeconds;
        total.measuredSeconds += f.measuredSeconds;
    }
    Print(baud, "total", total);
    port.ClosePort();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<unsigned> bauds;
    for (int i = 1; i < argc; ++i) bauds.push_back(static_cast<unsigned>(std::atoi(argv[i])));
    if (bauds.empty()) bauds = {115200, 9600};
    const std::string cataloguePath =
        std::string(PELORANT_SOURCE_DIR) + "/catalogue/qor_dspiclist.xml";
    bool ok = true;
    for (unsigned baud : bauds) ok = RunAt(baud, cataloguePath) && ok;
    return ok ? 0 : 1;
}
