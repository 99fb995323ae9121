#include "control/DetectionTexts.h"

#include <cstdio>

#include "common/Product.h"
#include "protocol/Outcomes.h"

const char* DetectionReason(DetectionResult result) {
    switch (result) {
        case DetectionResult::WriteError:
            return "Writing error";
        case DetectionResult::Timeout:
            return "Timeout expired";
        case DetectionResult::PortLost:
            return "Port went away (adapter unplugged or line hung up)";
        case DetectionResult::ResetFailed:
            return "Reset through the modem lines failed";
        case DetectionResult::AdapterEcho:
            return "The adapter echoes what it sends";
        default:
            return "Unknown error";
    }
}

const char* IdentificationError(IdentifyResult result) {
    switch (result) {
        case IdentifyResult::NoBootloader:
        case IdentifyResult::ProtectedMissing:
            return "XML syntax error";
        case IdentifyResult::FirmwareFailed:
            return "Firmare detection failed";
        case IdentifyResult::PortLost:
            return "Port went away (adapter unplugged or line hung up)";
        case IdentifyResult::DeviceNotFound:
            return "dsPIC not found";
        case IdentifyResult::CatalogueUnreadable:
            return "Error reading XML file";
        case IdentifyResult::ProtectedNotOnRows:
            return "Protected region doesn't match a row (bad XML definition)";
        case IdentifyResult::ProtectedOutside:
            return "Protected zone out of region (bad XML definition)";
        default:
            return "Unknown";
    }
}

std::string DetectionFailedText(DetectionResult result) {
    return std::string("dsPIC detection process failed.\nReason: ") + DetectionReason(result) +
           "\n\nShutdown your platform and try again.\nIf problem persists contact vardeno at " +
           product::kMakerWebAddress;
}

std::string IdentificationFailedText(IdentifyResult result) {
    return std::string("dsPIC identification failed.\nError: ") + IdentificationError(result) +
           ".\n\nIf problem persists contact vardeno at " + product::kMakerWebAddress;
}

std::string DetectedText(const char* deviceName, unsigned char major, unsigned char minor) {
    char text[400];
    std::snprintf(text, sizeof text, "%s detected\nfirmware version: %d.%d", deviceName,
                  static_cast<int>(static_cast<signed char>(major)),
                  static_cast<int>(static_cast<signed char>(minor)));
    return text;
}

std::string IdentificationFailedCodeText(IdentifyResult result) {
    return "dsPIC identification failed.\nError code : " + std::to_string(Code(result)) +
           ".\n\nIf problem persists contact vardeno at " + product::kMakerWebAddress;
}

std::string ConfiguringFailedText(const std::string& portName, int baudRate,
                                  const char* programName) {
    return "Failed while configuring " + portName + " at " + std::to_string(baudRate) +
           " bps.\nCheck that the port is not used for another application\nand restart " +
           programName + ".";
}

std::string MemoryRangeText(const CMemoryImage& image) {
    char text[48];
    std::snprintf(text, sizeof text, "(0x%04X - 0x%04X)", image.GetStart(), image.GetEnd());
    return text;
}
