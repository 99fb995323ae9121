#include "ui/pages/DetectionTexts.h"

#include <cstdio>

#include "common/Product.h"

const char* DetectionReason(int workerResult) {
    switch (workerResult) {
        case -3:
            return "Synchronization error";
        case -2:
            return "Writing error";
        case -1:
            return "Timeout expired";
        default:
            return "Unknown error";
    }
}

const char* IdentificationError(int identifyResult) {
    switch (identifyResult) {
        case -1:
        case -2:
        case -3:
            return "XML syntax error";
        case -4:
            return "Firmare detection failed";
        case -5:
            return "dsPIC not found";
        case -6:
            return "Error reading XML file";
        case -7:
            return "Protected region doesn't match a row (bad XML definition)";
        case -8:
            return "Protected zone out of region (bad XML definition)";
        default:
            return "Unknown";
    }
}

std::string DetectionFailedText(int workerResult) {
    return std::string("dsPIC detection process failed.\nReason: ") +
           DetectionReason(workerResult) +
           "\n\nShutdown your platform and try again.\nIf problem persists contact vardeno at " +
           product::kMakerWebAddress;
}

std::string IdentificationFailedText(int identifyResult) {
    return std::string("dsPIC identification failed.\nError: ") +
           IdentificationError(identifyResult) + ".\n\nIf problem persists contact vardeno at " +
           product::kMakerWebAddress;
}

std::string DetectedText(const char* deviceName, unsigned char major, unsigned char minor) {
    char text[400];
    std::snprintf(text, sizeof text, "%s detected\nfirmware version: %d.%d", deviceName,
                  static_cast<int>(static_cast<signed char>(major)),
                  static_cast<int>(static_cast<signed char>(minor)));
    return text;
}
