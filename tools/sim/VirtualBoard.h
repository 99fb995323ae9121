#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "serial/CSerialPort.h"

// Faults a virtual board can play, for tests and for reproducing a problem.
struct BoardFaults {
    bool silent = false;          // answers nothing at all
    bool noisyProbe = false;      // noise bytes around the probe reply
    bool noiseOnlyProbe = false;  // the probe is answered with noise bytes only, never 0x55
    bool shortIdentify = false;   // identification reply of 3 bytes
    bool badVersionAck = false;   // version record whose third byte is not 0x55
    bool noSync = false;          // the synchronism check goes unanswered
    int refuseRow = -1;           // row k (from 0) is refused with a byte other than 0x55
    int ignoreRow = -1;           // row k gets no acknowledgement
    int cutAfterRow = -1;         // the line is cut (pseudo-terminal closed) after row k
    int strayInRow = -1;          // a stray 0x55 goes out while row k comes in; k is refused
    int vanishAtProbe = -1;       // probe k is not answered: the port vanishes instead
    // After answering this many probes the board takes no more bytes, so the host's writes
    // come out short (0: not even the first probe goes out).
    int stallAfterProbes = -1;
    int stallAfterRows = -1;  // the same after acknowledging this many row frames
    // Two noise bytes (13 01) come before the identification reply.
    bool noisyIdentify = false;
    // Every byte received goes straight back before any answer, as a half-duplex adapter
    // does; with `silent` the line is a loop-back plug.
    bool echo = false;
    // The version request, or the synchronism check, is not answered: the port vanishes.
    bool vanishAtVersion = false;
    bool vanishAtSync = false;
};

struct BoardOptions {
    std::string cataloguePath;  // qor_dspiclist.xml
    std::string device;         // id ("0x0101") or name ("dsPIC30F4011")
    std::uint8_t firmwareMajor = 1;
    std::uint8_t firmwareMinor = 4;
    bool lineTiming = false;  // 10 bit times per byte at `baud`, plus `rowProgramTime` per row
    unsigned baud = 115200;
    std::chrono::microseconds rowProgramTime{2000};
    // Listens for the probe only this long after a reset, then starts the user program
    // (goes silent); zero listens until a run command.
    std::chrono::milliseconds listenWindow{0};
    int comNumber = 0;  // publish the pseudo-terminal as COM<n> in the port directory; 0: don't
    // One line per received frame and per reply, in the host's trace format; empty: no log.
    std::string frameLogPath;
    BoardFaults faults;
    // The modem line the board's reset is wired to: asserting it holds the chip in reset,
    // releasing it starts the bootloader (the other way round when inverted). The line starts
    // at rest. None: only Reset() resets the board.
    std::optional<SerialModemLine> resetLine;
    bool resetLineInverted = false;
    // Sent, followed by CR LF, every `talkEvery` while the user program runs; empty: the
    // program says nothing.
    std::string programSays;
    std::chrono::milliseconds talkEvery{1000};
};

struct ReceivedFrame {
    double seconds;  // since the board started
    std::vector<std::uint8_t> bytes;
};

// A dsPIC with its resident bootloader, on a pseudo-terminal, served by its own thread.
class VirtualBoard {
public:
    // Empty with `error` set when the device is unknown or no pseudo-terminal can be made.
    static std::unique_ptr<VirtualBoard> Start(const BoardOptions& options, std::string* error);
    virtual ~VirtualBoard() = default;  // stops the board, closes the terminal, removes the link

    virtual std::string DevicePath() const = 0;  // the slave side a host opens
    virtual int ComNumber() const = 0;           // 0 when not published
    virtual void Reset() = 0;                    // as if the reset button was pressed
    // The host drove a modem line (what a real port's TIOCMBIS and TIOCMBIC would do).
    virtual void SetModemLine(SerialModemLine line, bool asserted) = 0;
    virtual bool UserProgramRunning() const = 0;
    virtual std::vector<ReceivedFrame> Frames() const = 0;  // every frame received, in order
    virtual std::size_t RowsProgrammed() const = 0;
    // The word at a word address of program flash, data EEPROM or configuration; erased
    // memory reads 0xFFFF. Empty for an address outside every memory.
    virtual std::optional<std::uint16_t> Word(std::uint32_t address) const = 0;
    virtual bool InsideBootloader(std::uint32_t address) const = 0;
    virtual bool DumpHex(const std::string& path) const = 0;
};
