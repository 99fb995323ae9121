// What the row writer's checks of the line cost: 1507 code rows of a dsPIC30F6014A written at
// 115200 bit/s to a virtual board with line timing and 2 ms to program a row, by the row
// writer and by a minimal host written here (write a frame, wait for its byte), each best of
// three. Prints both times and their ratio; nothing is asserted.
//
// Usage: bench_line [rounds]   (default 3)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "catalogue/Catalogue.h"
#include "protocol/Frames.h"
#include "protocol/RowPlan.h"
#include "protocol/SerialLine.h"
#include "protocol/Workers.h"
#include "tools/sim/VirtualBoard.h"

namespace {

constexpr const char* kDevice = "dsPIC30F6014A";
constexpr std::uint32_t kRows = 1507;
constexpr unsigned kBaud = 115200;

class DiscardingTarget : public MessageTarget {
public:
    void Post(unsigned, std::intptr_t, std::intptr_t) override {}
};

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The host at its simplest: one frame, one byte back, nothing else looked at.
std::optional<double> ReferenceHost(CSerialPort& port, CMemoryImage& image, const RowPlan& plan,
                                    int rowUnits) {
    std::uint8_t frame[bootproto::kFrameBufferSize];
    const Clock::time_point start = Clock::now();
    for (const std::uint32_t address : plan.rows) {
        const int length = bootproto::BuildWriteFrame(frame, address, rowUnits, image);
        if (port.WriteToPort(reinterpret_cast<char*>(frame), static_cast<unsigned long>(length)) !=
            static_cast<unsigned long>(length)) {
            return std::nullopt;
        }
        char ack = 0;
        if (port.ReadFromPort(&ack, 1) != 1 || static_cast<std::uint8_t>(ack) != bootproto::kAck) {
            return std::nullopt;
        }
    }
    return SecondsSince(start);
}

std::optional<double> RowWriter(CSerialPort& port, CMemoryImage& image, const CDeviceInfo& device,
                                int rowUnits) {
    DiscardingTarget target;
    const Clock::time_point start = Clock::now();
    bootproto::SerialLine line(port);
    WriteJob job;
    job.line = &line;
    job.image = &image;
    job.rowUnits = rowUnits;
    job.bootStart = device.bootStart;
    job.bootEnd = device.bootEnd;
    job.notifyWindow = &target;
    const BlockResult result = WriteRows(job);
    if (result != BlockResult::Ok) return std::nullopt;
    return SecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string catalogue = std::string(PELORANT_SOURCE_DIR) + "/catalogue/qor_dspiclist.xml";
    const std::optional<std::string> id = ResolveDeviceIdentifier(catalogue, kDevice);
    CDeviceInfo device;
    std::string name;
    if (!id || LookupDevice(catalogue, *id, device, name) != CatalogueLookup::Found) {
        std::fprintf(stderr, "cannot read %s from %s\n", kDevice, catalogue.c_str());
        return 1;
    }
    CMemoryImage& code = device.images[kBlockCode];
    const int rowUnits = 2 * code.instructionsPerRow;
    for (std::uint32_t a = 0; a < kRows * static_cast<std::uint32_t>(rowUnits); ++a) {
        code.WriteWord(a, static_cast<std::uint16_t>(a % 2 == 0 ? a * 0x9E37 : a & 0xFF));
    }
    const RowPlan plan = PlanRows(code, rowUnits, device.bootStart, device.bootEnd);

    BoardOptions options;
    options.cataloguePath = catalogue;
    options.device = *id;
    options.lineTiming = true;
    options.baud = kBaud;
    options.rowProgramTime = std::chrono::milliseconds(2);
    std::string error;
    std::unique_ptr<VirtualBoard> board = VirtualBoard::Start(options, &error);
    CSerialPort port;
    if (!board || port.InitPort(board->DevicePath().c_str(), kBaud, 'N', 8, 1, 9, 512) != 1) {
        std::fprintf(stderr, "no virtual board: %s\n", error.c_str());
        return 1;
    }
    port.SetTimeouts(100, 100, 100, 100, 100);

    double reference = 1e9;
    double writer = 1e9;
    for (int round = 0; round < rounds; ++round) {
        const std::optional<double> plain = ReferenceHost(port, code, plan, rowUnits);
        const std::optional<double> checked = RowWriter(port, code, device, rowUnits);
        if (!plain || !checked) {
            std::fprintf(stderr, "a write failed in round %d\n", round + 1);
            return 1;
        }
        std::printf("round %d  reference host %.3f s  row writer %.3f s\n", round + 1, *plain,
                    *checked);
        reference = std::min(reference, *plain);
        writer = std::min(writer, *checked);
    }
    port.ClosePort();
    std::printf(
        "%zu rows at %u bit/s, best of %d: reference host %.3f s, row writer %.3f s, "
        "ratio %.4f\n",
        plan.rows.size(), kBaud, rounds, reference, writer, writer / reference);
    return 0;
}
