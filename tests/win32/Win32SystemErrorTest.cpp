#include <gtest/gtest.h>
#include <windows.h>

#include "serial/SystemError.h"

namespace {

struct CauseCase {
    const char* name;
    DWORD code;
    bool opening;
    SerialFailure cause;
};

// The cause a failed call leaves depends on whether the port was being opened or was open.
TEST(Win32SystemErrorTest, EachCodeMeansItsCauseWhereItArises) {
    const CauseCase cases[] = {
        {"a port another program holds", ERROR_ACCESS_DENIED, true, SerialFailure::Busy},
        // usbser.sys and its kin once the adapter is unplugged.
        {"a call on an unplugged adapter", ERROR_ACCESS_DENIED, false, SerialFailure::GoneAway},
        {"a removed device, opened", ERROR_DEVICE_REMOVED, true, SerialFailure::NotFound},
        {"a removed device, open", ERROR_DEVICE_REMOVED, false, SerialFailure::GoneAway},
        // What Wine's serial layer reports once the line behind the port has hung up.
        {"a hung-up line under Wine", ERROR_NOT_READY, false, SerialFailure::GoneAway},
        {"a name without a port", ERROR_FILE_NOT_FOUND, true, SerialFailure::NotFound},
        {"a file that is no port", ERROR_INVALID_FUNCTION, true, SerialFailure::NotATerminal},
        {"a share conflict", ERROR_SHARING_VIOLATION, true, SerialFailure::Busy},
    };
    for (const CauseCase& c : cases) {
        EXPECT_EQ(lunvik::CauseOfSystemError(static_cast<long>(c.code), c.opening), c.cause)
            << c.name;
    }
}

}  // namespace
