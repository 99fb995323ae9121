// Any bytes as a HEX file, loaded against two devices: the dsPIC30F4011 of the shipped
// catalogue, whose bootloader fills the top rows of flash, and a part with the same memories
// whose bootloader sits in the middle of flash, so that rows on both sides of it are written.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "image/HexLoader.h"
#include "protocol/RowPlan.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

constexpr const char* kMidFlashCatalogue = R"(<?xml version="1.0" encoding="UTF-8"?>
<dspiclist>
    <device id="0x7001" name="midflash" rowsxpage="1">
        <memcode startaddress="0x000000" endaddress="0x007FFE" instructionxrow="32">
            <bootloader startaddress="0x003C00" endaddress="0x003FFE"/>
        </memcode>
        <memdata startaddress="0x7FFC00" endaddress="0x7FFFFE" instructionxrow="16"/>
        <memconfig startaddress="0xF80000" endaddress="0xF8000E" instructionxrow="1">
            <protected startaddress="0xF80006" endaddress="0xF80006"/>
            <protected startaddress="0xF80008" endaddress="0xF80008"/>
        </memconfig>
    </device>
</dspiclist>
)";

struct Geometry {
    std::uint32_t start;
    std::uint32_t end;
    std::uint32_t count;
};

struct Device {
    CDeviceInfo info;
    Geometry geometry[3];
};

void Identify(Device& device, const std::string& catalogue, const std::string& id) {
    std::string name;
    FUZZ_CHECK(LookupDevice(catalogue, id, device.info, name) == CatalogueLookup::Found);
    for (int k = 0; k < 3; ++k) {
        const CMemoryImage& image = device.info.images[k];
        device.geometry[k] = Geometry{image.start, image.end, image.count};
    }
}

// Both devices as an earlier good load of the sample firmware left them.
std::vector<Device>& Devices() {
    static std::vector<Device> devices = [] {
        std::vector<Device> made(2);
        const std::string midCatalogue = (fuzz::ScratchDir() / "midflash.xml").string();
        fuzz::WriteFile(midCatalogue, kMidFlashCatalogue);
        Identify(made[0], PELORANT_SOURCE_DIR "/catalogue/qor_dspiclist.xml", "0x0101");
        Identify(made[1], midCatalogue, "0x7001");
        for (Device& device : made) {
            HexFileStatus status;
            fuzz::CountingBoxes boxes;
            FUZZ_CHECK(LoadHexImage(device.info,
                                    PELORANT_SOURCE_DIR "/samples/dsPIC30F4011-counter.hex", status,
                                    boxes) == 1);
        }
        return made;
    }();
    return devices;
}

bool Overlaps(std::uint64_t first, std::uint64_t last, std::uint64_t otherFirst,
              std::uint64_t otherLast) {
    return first <= otherLast && last >= otherFirst;
}

// The row plan of every block sends no row that touches the bootloader, and passes over no
// row holding file data except for the bootloader or protection.
void CheckRowPlans(Device& device) {
    const std::uint64_t bootFirst = device.info.bootStart;
    const std::uint64_t bootLast = std::uint64_t{device.info.bootEnd} | 1;
    for (CMemoryImage& image : device.info.images) {
        if (!image.cells) continue;
        const int rowUnits = 2 * image.instructionsPerRow;
        const auto units = static_cast<std::uint64_t>(rowUnits);
        const RowPlan plan = PlanRows(image, rowUnits, device.info.bootStart, device.info.bootEnd);
        FUZZ_CHECK(plan.rowSizeValid);
        std::vector<bool> sent(image.count / units + 2, false);
        for (const std::uint32_t row : plan.rows) {
            FUZZ_CHECK(row % units == 0);
            FUZZ_CHECK(row >= image.start && row <= image.end);
            FUZZ_CHECK(!Overlaps(row, row + units - 1, bootFirst, bootLast));
            sent[(row - image.start) / units] = true;
        }
        for (std::uint64_t i = 0; i <= image.count; ++i) {
            if (!image.cells[i].used) continue;
            const std::uint64_t row = (image.start + i) / units * units;
            if (row > image.end) continue;
            const bool skippedForBootloader = Overlaps(row, row + units - 1, bootFirst, bootLast);
            const bool skippedAsProtected = image.IsProtected(static_cast<std::uint32_t>(row));
            FUZZ_CHECK(skippedForBootloader || skippedAsProtected ||
                       sent[(row - image.start) / units]);
        }
    }
}

void CheckAccepted(Device& device) {
    for (int k = 0; k < 3; ++k) {
        const CMemoryImage& image = device.info.images[k];
        FUZZ_CHECK(image.start == device.geometry[k].start);
        FUZZ_CHECK(image.end == device.geometry[k].end);
        FUZZ_CHECK(image.count == device.geometry[k].count);
    }
    // Program flash that receives the file starts with the jump into the bootloader.
    CMemoryImage& code = device.info.images[kBlockCode];
    if (code.hasData) {
        FUZZ_CHECK(code.ReadWord(0) == (device.info.bootStart & 0xFFFF));
        FUZZ_CHECK(code.ReadWord(1) == 0x0004);
        FUZZ_CHECK(code.ReadWord(2) == (device.info.bootStart >> 16 & 0xFF));
    }
    CheckRowPlans(device);
}

// The two devices have the same memories, so one file fills them alike: only the jump
// into the bootloader (words 0 and 2) differs, and program flash that one of them leaves alone
// (the file's program lies in its bootloader).
void CheckSameImages(Device& top, Device& mid) {
    for (int k = 0; k < 3; ++k) {
        const CMemoryImage& a = top.info.images[k];
        const CMemoryImage& b = mid.info.images[k];
        if (k == kBlockCode && a.hasData != b.hasData) continue;
        for (std::uint32_t i = 0; i <= a.count; ++i) {
            if (k == kBlockCode && (i == 0 || i == 2)) continue;
            FUZZ_CHECK(a.cells[i].used == b.cells[i].used);
            FUZZ_CHECK(a.cells[i].value == b.cells[i].value);
        }
    }
}

// What a load may change: every cell and flag of the three images.
struct Snapshot {
    std::vector<MemoryCell> cells[3];
    bool flags[3][3];
    Geometry geometry[3];
};

Snapshot Take(const Device& device) {
    Snapshot snapshot;
    for (int k = 0; k < 3; ++k) {
        const CMemoryImage& image = device.info.images[k];
        if (image.cells)
            snapshot.cells[k].assign(image.cells.get(), image.cells.get() + image.count + 1);
        snapshot.flags[k][0] = image.hasData;
        snapshot.flags[k][1] = image.rangeError;
        snapshot.flags[k][2] = image.protectedHit;
        snapshot.geometry[k] = Geometry{image.start, image.end, image.count};
    }
    return snapshot;
}

bool SameCells(const std::vector<MemoryCell>& a, const std::vector<MemoryCell>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].value != b[i].value || a[i].used != b[i].used ||
            a[i].isProtected != b[i].isProtected) {
            return false;
        }
    }
    return true;
}

// A refused load leaves the images of the last good load as they were.
void CheckUntouched(const Device& device, const Snapshot& before) {
    const Snapshot after = Take(device);
    for (int k = 0; k < 3; ++k) {
        FUZZ_CHECK(SameCells(after.cells[k], before.cells[k]));
        FUZZ_CHECK(after.flags[k][0] == before.flags[k][0]);
        FUZZ_CHECK(after.geometry[k].start == before.geometry[k].start &&
                   after.geometry[k].end == before.geometry[k].end);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<Device>& devices = Devices();
    const std::string path = (fuzz::ScratchDir() / "input.hex").string();
    fuzz::WriteFile(path, data, size);
    int results[2] = {};
    for (std::size_t d = 0; d < devices.size(); ++d) {
        const Snapshot before = Take(devices[d]);
        HexFileStatus status;
        fuzz::CountingBoxes boxes;
        results[d] = LoadHexImage(devices[d].info, path, status, boxes);
        FUZZ_CHECK(results[d] == 0 || results[d] == 1);
        if (results[d] == 1) {
            FUZZ_CHECK(boxes.errors == 0);
            CheckAccepted(devices[d]);
        } else {
            FUZZ_CHECK(boxes.shown >= 1);
            CheckUntouched(devices[d], before);
        }
    }
    FUZZ_CHECK(results[0] == results[1]);
    if (results[0] == 1) CheckSameImages(devices[0], devices[1]);
    return 0;
}
