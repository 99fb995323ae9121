#pragma once

#include <cstdint>
#include <cstdio>

// The one header of liblunvik.so and lunvik.dll.
#if defined(_WIN32) && defined(LUNVIK_BUILDING)
#define LUNVIK_API __declspec(dllexport)
#elif defined(_WIN32)
#define LUNVIK_API __declspec(dllimport)
#elif defined(LUNVIK_BUILDING)
#define LUNVIK_API __attribute__((visibility("default")))
#else
#define LUNVIK_API
#endif

// Time-out block with the Win32 COMMTIMEOUTS meaning, in milliseconds; 0 disables a bound.
struct SerialTimeouts {
    unsigned long readInterval = 0;      // longest gap between two received bytes
    unsigned long readTotalPerByte = 0;  // read total = per byte x count + constant
    unsigned long readTotalConstant = 0;
    unsigned long writeTotalPerByte = 0;  // write total = per byte x count + constant
    unsigned long writeTotalConstant = 0;
};

// Line settings last applied to the port (the stand-in of the Win32 DCB).
struct SerialLineSettings {
    unsigned long baudRate = 0;
    char parity = 'N';  // N, E, O, M, S
    unsigned dataBits = 8;
    unsigned stopBits = 1;
    bool rtsEnable = false;
    bool abortOnError = false;
};

// The OS handle of an open port. Null (never opened / closed) and invalid (a failed
// open) are distinct values, and neither aliases a real descriptor: an open port holds its
// file descriptor plus one.
using SerialHandle = std::intptr_t;
inline constexpr SerialHandle kNullSerialHandle = 0;
inline constexpr SerialHandle kInvalidSerialHandle = -1;

// Why the last failed operation failed, in the same terms on every platform; the system's own
// error code (errno, or GetLastError on Windows) is kept beside it.
enum class SerialFailure : int {
    None = 0,      // no failure since the object was made or a port was last opened
    NotFound,      // no such port or device
    Permission,    // the user may not open it
    Busy,          // another program (or another object) holds it
    NotATerminal,  // the name opens something that is not a serial port
    GoneAway,      // the port vanished or hung up while open (unplugged adapter)
    Other,
    NoModemLines,  // the port carries no DTR or RTS line to drive (a pseudo-terminal)
};

// The modem control lines a host drives; boards wire them to their reset.
enum class SerialModemLine : int { Dtr, Rts };

inline constexpr unsigned kSerialFailureTextBytes = 200;

class LUNVIK_API CSerialPort {
public:
    static constexpr unsigned long kFailure = 0xFFFFFFFFUL;

    CSerialPort();
    ~CSerialPort();  // does not close an open port
    CSerialPort& operator=(const CSerialPort& other);

    // Opens "\\.\COM<portNumber>", resolved through the port directory.
    int InitPort(unsigned int portNumber, unsigned int baud, char parity, unsigned int dataBits,
                 unsigned int stopBits, unsigned long eventMask, unsigned int bufferSize);
    // Opens a device path directly (portNumber is stored as 0).
    int InitPort(const char* devicePath, unsigned int baud, char parity, unsigned int dataBits,
                 unsigned int stopBits, unsigned long eventMask, unsigned int bufferSize);

    unsigned long SetTimeouts(unsigned long readInterval, unsigned long readTotalPerByte,
                              unsigned long readTotalConstant, unsigned long writeTotalPerByte,
                              unsigned long writeTotalConstant);
    unsigned long ReadFromPort(char* buffer, unsigned long count);
    unsigned long WriteToPort(char* buffer, unsigned long count);
    // The number of received bytes waiting to be read, found without waiting (the failure
    // value on failure).
    unsigned long QueuedInput();
    unsigned long CleanPort();
    unsigned long ClosePort();
    void ProcessErrorMessage(char* operation);
    void Log(char* text);

    // Asserts (`asserted` true) or releases one modem control line: 0 on success, the failure
    // value on failure, with the cause in LastFailure().
    unsigned long SetModemLine(SerialModemLine line, bool asserted);

    // The cause of the last failure: kept until the next failure or the next successful open.
    SerialFailure LastFailure() const { return lastFailure; }
    // The system's error code for it (0 with SerialFailure::None).
    long LastSystemError() const { return lastSystemError; }
    // "<operation> failed: <the system's text>"; empty with SerialFailure::None.
    const char* LastFailureText() const { return lastFailureText; }

    std::FILE* logStream;
    SerialHandle handle;
    SerialTimeouts timeouts;
    SerialLineSettings lineSettings;
    unsigned long portNumber;
    SerialFailure lastFailure;
    long lastSystemError;
    char lastFailureText[kSerialFailureTextBytes];
};
