#pragma once

#include "protocol/Line.h"
#include "serial/CSerialPort.h"

namespace bootproto {

// The line over a serial port; the port is opened and closed by its owner.
class SerialLine final : public Line {
public:
    explicit SerialLine(CSerialPort& port, LineTrace* trace = nullptr) : Line(trace), port_(port) {}

    bool WentAway() const override { return PortWentAway(port_); }
    unsigned long QueuedInput() override { return port_.QueuedInput(); }
    void DropInput() override { port_.CleanPort(); }
    void UseExchangeTimeouts() override { port_.SetTimeouts(100, 100, 100, 100, 100); }
    unsigned long Baud() const override { return port_.lineSettings.baudRate; }
    LineClock::time_point Now() const override { return LineClock::now(); }
    void Sleep(std::chrono::milliseconds duration) override;
    bool Drive(SerialModemLine line, bool asserted) override {
        return port_.SetModemLine(line, asserted) == 0;
    }

private:
    unsigned long Write(const void* bytes, unsigned long count) override;
    unsigned long Read(void* bytes, unsigned long count) override;

    CSerialPort& port_;
};

}  // namespace bootproto
