#pragma once

#include <cstdint>
#include <cstdio>

#if defined(LUNVIK_BUILDING)
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
    unsigned long CleanPort();
    unsigned long ClosePort();
    void ProcessErrorMessage(char* operation);
    void Log(char* text);

    std::FILE* logStream;
    SerialHandle handle;
    SerialTimeouts timeouts;
    SerialLineSettings lineSettings;
    unsigned long portNumber;
};
