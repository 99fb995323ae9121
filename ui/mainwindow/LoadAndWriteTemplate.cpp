#include "ui/mainwindow/LoadAndWriteTemplate.h"

#include "common/Product.h"

namespace mainwindow {

using namespace dialog;

namespace {

ControlTemplate Text(int id, const char* text, int x, int y, int width, int height,
                     unsigned style = kStyleNone) {
    return {.id = id,
            .kind = ControlKind::Text,
            .text = text,
            .x = x,
            .y = y,
            .width = width,
            .height = height,
            .style = style};
}

ControlTemplate BitmapButton(int id, const char* mnemonic, int x, int y, ButtonImages images,
                             unsigned style = kStyleNone) {
    return {.id = id,
            .kind = ControlKind::BitmapButton,
            .text = mnemonic,
            .x = x,
            .y = y,
            .width = 34,
            .height = 26,
            .style = style,
            .bitmap = 0,
            .buttonImages = images};
}

ControlTemplate CheckBox(int id, const char* text, int y, int width) {
    return {.id = id,
            .kind = ControlKind::CheckBox,
            .text = text,
            .x = 15,
            .y = y,
            .width = width,
            .height = 10,
            .style = kDisabled};
}

}  // namespace

const DialogTemplate& LoadAndWriteTemplate() {
    static const DialogTemplate loadAndWrite{
        .id = kLoadAndWriteDialog,
        .caption = kLoadAndWriteCaption,
        .width = 497,
        .height = 214,
        .style = kSystemMenu | kMinimizeBox,
        .controls =
            {
                {.id = 1015,
                 .kind = ControlKind::GroupBox,
                 .text = "Load && Write",
                 .x = 7,
                 .y = 7,
                 .width = 240,
                 .height = 178},
                Text(1016,
                     "Load your HEX file. Select the appropiate writing options, and start the "
                     "write process.",
                     13, 22, 102, 33),
                {.id = kIdcPicture,
                 .kind = ControlKind::TransparentPicture,
                 .text = "",
                 .x = 117,
                 .y = 20,
                 .width = 125,
                 .height = 30,
                 .bitmap = 233},
                BitmapButton(kIdcOpen, "&o", 17, 60, {252, 249, 250, 251}, kDisabled),
                Text(kIdcOpenLabel, "open HEX file", 13, 87, 43, 8, kDisabled),
                BitmapButton(kIdcRun, "", 132, 60, {238, 239, 169, 237}),
                Text(kIdcRunLabel, "run", 142, 87, 12, 8, kAlignCentre),
                BitmapButton(kIdcReconnect, "", 167, 60, {240, 244, 243, 242}),
                Text(kIdcReconnectLabel, "reconnect", 167, 87, 33, 8, kAlignCentre),
                BitmapButton(kIdcReload, "", 203, 60, {248, 245, 246, 247}),
                Text(kIdcReloadLabel, "reload", 209, 87, 21, 8, kAlignCentre),
                Text(kIdcWriteHint,
                     "Verify checked options detected into the HEX file before start writing "
                     "operation.",
                     15, 111, 222, 18, kDisabled),
                CheckBox(kIdcProgramFlash, "program flash", 132, 60),
                Text(kIdcCodeRange, "", 95, 133, 73, 10, kDisabled),
                CheckBox(kIdcWriteEeprom, "write data EEPROM", 146, 78),
                Text(kIdcEepromRange, "", 95, 146, 78, 10, kDisabled),
                CheckBox(kIdcConfigureRegisters, "configure registers", 160, 76),
                Text(kIdcConfigRange, "", 95, 161, 80, 10, kDisabled),
                BitmapButton(kIdcWrite, "&w", 204, 135, {256, 253, 254, 255}, kDisabled),
                Text(kIdcWriteLabel, "start write", 204, 162, 34, 8),
                {.id = kIdcStatusLamp,
                 .kind = ControlKind::Picture,
                 .text = "",
                 .x = 9,
                 .y = 190,
                 .width = 15,
                 .height = 13,
                 .style = kHidden},
                {.id = kIdcProgress,
                 .kind = ControlKind::ProgressBar,
                 .text = "",
                 .x = 33,
                 .y = 191,
                 .width = 213,
                 .height = 8},
                Text(kIdcStatusText, "progress", 34, 200, 195, 8),
                {.id = kIdcLogo,
                 .kind = ControlKind::TransparentPicture,
                 .text = "",
                 .x = 269,
                 .y = 7,
                 .width = 156,
                 .height = 39,
                 .bitmap = 132},
                {.id = kIdcAbout,
                 .kind = ControlKind::ToolButton,
                 .text = "?",
                 .x = 253,
                 .y = 9,
                 .width = 12,
                 .height = 12},
                {.id = kIdcMakerLink,
                 .kind = ControlKind::Link,
                 .text = product::kMakerWebAddress,
                 .x = 412,
                 .y = 15,
                 .width = 70,
                 .height = 8},
                Text(kNoId, product::kMakerEmail, 412, 6, 70, 8),
                Text(kIdcSoftwareVersionLabel, "software version:", 414, 26, 58, 8),
                Text(kIdcSoftwareVersion, "", 466, 26, 16, 9, kAlignRight),
                Text(kIdcFirmwareVersionLabel, "firmware version:", 414, 34, 56, 8),
                Text(kIdcFirmwareVersion, "", 467, 34, 15, 9, kAlignRight),
                Text(kIdcDeviceName, "", 441, 44, 41, 9, kAlignRight),
                {.id = kNoId,
                 .kind = ControlKind::GroupBox,
                 .text = "Log viewer",
                 .x = 252,
                 .y = 50,
                 .width = 238,
                 .height = 135},
                {.id = kIdcLog,
                 .kind = ControlKind::ReportList,
                 .text = "",
                 .x = 259,
                 .y = 60,
                 .width = 223,
                 .height = 118,
                 .style = kBorder},
                // The window sets the image of its OS kind; both sets' are of this size.
                {.id = kIdcCleanLog,
                 .kind = ControlKind::ImagePushButton,
                 .text = "&clean",
                 .x = 451,
                 .y = 186,
                 .width = 31,
                 .height = 24,
                 .bitmap = 232},
            },
        .tabOrder = {kIdcOpen, kIdcProgramFlash, kIdcWriteEeprom, kIdcConfigureRegisters, kIdcWrite,
                     kIdcRun, kIdcReconnect, kIdcReload, kIdcLog, kIdcCleanLog},
    };
    return loadAndWrite;
}

}  // namespace mainwindow
