#pragma once

#include "ui/DialogTemplate.h"

// The templates of the splash, the wizard pages 1/3 and 2/3, the alert and the about box,
// with the control ids the pages and the tests use.
namespace templates {

inline constexpr int kAboutDialog = 100;
inline constexpr int kAlertDialog = 138;
inline constexpr int kConfigurationDialog = 142;
inline constexpr int kDetectionDialog = 143;
inline constexpr int kSplash = 188;

// Splash and about box.
inline constexpr int kIdcStatus = 1002;
inline constexpr int kIdcVersion = 1003;
// Alert.
inline constexpr int kIdcAlertPicture = 1039;
inline constexpr int kIdcDontRemember = 1006;
// Configuration.
inline constexpr int kIdcComboPort = 1030;
inline constexpr int kIdcComboBaud = 1026;
inline constexpr int kIdcComboReset = 1027;
inline constexpr int kIdcResetLabel = 1028;
// Detection.
inline constexpr int kIdcDetectionPicture = 1032;
inline constexpr int kIdcProgress = 1014;
inline constexpr int kIdcDetectionText = 1015;

const dialog::DialogTemplate& AboutTemplate();
const dialog::DialogTemplate& AlertTemplate();
const dialog::DialogTemplate& ConfigurationTemplate();
const dialog::DialogTemplate& DetectionTemplate();
const dialog::DialogTemplate& SplashTemplate();

}  // namespace templates
