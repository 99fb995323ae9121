#pragma once

#include "ui/DialogTemplate.h"

// The template of the main programming window (page 3/3) and its control ids.
namespace mainwindow {

inline constexpr int kLoadAndWriteDialog = 102;

inline constexpr int kIdcCleanLog = 1003;
inline constexpr int kIdcOpen = 1005;
inline constexpr int kIdcProgramFlash = 1006;
inline constexpr int kIdcWriteEeprom = 1007;
inline constexpr int kIdcConfigureRegisters = 1008;
inline constexpr int kIdcWrite = 1009;
inline constexpr int kIdcReconnect = 1011;
inline constexpr int kIdcReload = 1012;
inline constexpr int kIdcLog = 1013;
inline constexpr int kIdcProgress = 1014;
inline constexpr int kIdcOpenLabel = 1017;
inline constexpr int kIdcWriteHint = 1018;
inline constexpr int kIdcStatusText = 1019;
inline constexpr int kIdcStatusLamp = 1020;
inline constexpr int kIdcFirmwareVersion = 1024;
inline constexpr int kIdcFirmwareVersionLabel = 1025;
inline constexpr int kIdcCodeRange = 1026;
inline constexpr int kIdcEepromRange = 1027;
inline constexpr int kIdcConfigRange = 1028;
inline constexpr int kIdcSoftwareVersionLabel = 1029;
inline constexpr int kIdcSoftwareVersion = 1030;
inline constexpr int kIdcWriteLabel = 1031;
inline constexpr int kIdcDeviceName = 1033;
inline constexpr int kIdcLogo = 1034;
inline constexpr int kIdcPicture = 1035;
inline constexpr int kIdcRunLabel = 1036;
inline constexpr int kIdcReconnectLabel = 1037;
inline constexpr int kIdcReloadLabel = 1038;
inline constexpr int kIdcRun = 1040;
inline constexpr int kIdcMakerLink = 1001;
// Beside the logo: the about box for those who look for it on screen.
inline constexpr int kIdcAbout = 1041;

inline constexpr const char* kLoadAndWriteCaption =
    "vardeno dsPIC bootloader - loading and writing - 3/3";

// The block check boxes and range labels, indexed by block (code, data EEPROM, configuration).
inline constexpr int kBlockCheckIds[3] = {kIdcProgramFlash, kIdcWriteEeprom,
                                          kIdcConfigureRegisters};
inline constexpr int kRangeLabelIds[3] = {kIdcCodeRange, kIdcEepromRange, kIdcConfigRange};

const dialog::DialogTemplate& LoadAndWriteTemplate();

}  // namespace mainwindow
