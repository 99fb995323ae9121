#pragma once

#include <string>

#include "device/MemoryImage.h"
#include "protocol/Outcomes.h"

// The texts of a detection: page 2/3's boxes, the reconnect's boxes and log lines, and the
// failure to open the port, for every front end.

// Why detection failed.
const char* DetectionReason(DetectionResult result);
// What went wrong in the identification.
const char* IdentificationError(IdentifyResult result);

// Page 2/3's boxes.
std::string DetectionFailedText(DetectionResult result);
std::string IdentificationFailedText(IdentifyResult result);
std::string DetectedText(const char* deviceName, unsigned char major, unsigned char minor);
// The reconnect's box: the identification's number instead of its error text.
std::string IdentificationFailedCodeText(IdentifyResult result);

inline constexpr const char* kIdentificationFailedCaption = "dsPIC identification failed.";
inline constexpr const char* kDetectionSuccessCaption = "detection success";
inline constexpr const char* kDetectionNotStartedText = "Unable to start dsPIC detection process";
inline constexpr const char* kDetectionNotStartedCaption = "detection failed";

// The port did not open. The start-up page and the reconnect name the program differently.
inline constexpr const char* kStartupProgramName = "vardeno dsPIC bootloader";
inline constexpr const char* kReconnectProgramName = "vardeno 16bitPIC bootloader";
std::string ConfiguringFailedText(const std::string& portName, int baudRate,
                                  const char* programName);
inline constexpr const char* kConfiguringFailedCaption = "configuring process failed";

// A memory's range as its label shows it: "(0x0000 - 0x7FFF)", word addresses.
std::string MemoryRangeText(const CMemoryImage& image);

// The main window's log lines of a detection.
inline constexpr const char* kDetectionStartedLog = "Detection&Sync process started";
inline constexpr const char* kDetectionFinishedLog = "Detection&Sync process finished";
