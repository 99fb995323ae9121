#include "control/DetectionTexts.h"

#include <cstdio>

#include "common/Product.h"
#include "protocol/Outcomes.h"

const char* DetectionReason(int workerResult) {
    switch (workerResult) {
        case -3:  // no result of the worker carries it any more; the page still names it
            return "Synchronization error";
        case Code(DetectionResult::WriteError):
            return "Writing error";
        case Code(DetectionResult::Timeout):
            return "Timeout expired";
        case Code(DetectionResult::PortLost):
            return "Port went away (adapter unplugged or line hung up)";
        case Code(DetectionResult::ResetFailed):
            return "Reset through the modem lines failed";
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

std::string IdentificationFailedCodeText(int identifyResult) {
    return "dsPIC identification failed.\nError code : " + std::to_string(identifyResult) +
           ".\n\nIf problem persists contact vardeno at " + product::kMakerWebAddress;
}

std::string ConfiguringFailedText(const std::string& portName, int baudRate,
                                  const char* programName) {
    return "Failed while configuring " + portName + " at " + std::to_string(baudRate) +
           " bps.\nCheck that the port is not used for another application\nand restart " +
           programName + ".";
}
