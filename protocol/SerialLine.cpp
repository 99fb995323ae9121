#include "protocol/SerialLine.h"

#include <thread>

namespace bootproto {

static_assert(Line::kFailure == CSerialPort::kFailure);

void SerialLine::Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

unsigned long SerialLine::Write(const void* bytes, unsigned long count) {
    // The library reads the buffer only.
    return port_.WriteToPort(static_cast<char*>(const_cast<void*>(bytes)), count);
}

unsigned long SerialLine::Read(void* bytes, unsigned long count) {
    return port_.ReadFromPort(static_cast<char*>(bytes), count);
}

}  // namespace bootproto
