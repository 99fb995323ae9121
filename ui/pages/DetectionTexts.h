#pragma once

#include <string>

// The texts of page 2/3's boxes.

// Why detection failed, by the worker's result code.
const char* DetectionReason(int workerResult);
// What went wrong in the identification, by its negative result.
const char* IdentificationError(int identifyResult);

std::string DetectionFailedText(int workerResult);
std::string IdentificationFailedText(int identifyResult);
std::string DetectedText(const char* deviceName, unsigned char major, unsigned char minor);

inline constexpr const char* kIdentificationFailedCaption = "dsPIC identification failed.";
inline constexpr const char* kDetectionSuccessCaption = "detection success";
