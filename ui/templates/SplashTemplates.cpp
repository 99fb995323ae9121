#include "ui/templates/WizardTemplates.h"

namespace templates {

using namespace dialog;

// The splash and the about box share the product picture and the version label on it.
const ControlTemplate kProductPicture{.id = kNoId,
                                      .kind = ControlKind::Picture,
                                      .text = "",
                                      .x = 0,
                                      .y = 0,
                                      .width = 317,
                                      .height = 127,
                                      .style = kFitImage,
                                      .bitmap = 135};
const ControlTemplate kVersionLabel{.id = kIdcVersion,
                                    .kind = ControlKind::TransparentText,
                                    .text = "ver.",
                                    .x = 237,
                                    .y = 28,
                                    .width = 58,
                                    .height = 9,
                                    .style = kAlignRight};

const DialogTemplate& SplashTemplate() {
    static const DialogTemplate splash{
        .id = kSplash,
        .caption = "",
        .width = 311,
        .height = 126,
        .style = kNoTitle | kThinBorder,
        .controls =
            {
                kProductPicture,
                {.id = kIdcStatus,
                 .kind = ControlKind::TransparentText,
                 .text = "loading environment...",
                 .x = 15,
                 .y = 110,
                 .width = 112,
                 .height = 15},
                kVersionLabel,
            },
        .tabOrder = {},
    };
    return splash;
}

const DialogTemplate& AboutTemplate() {
    static const DialogTemplate about{
        .id = kAboutDialog,
        .caption = "About vardeno dsPIC bootloader",
        .width = 317,
        .height = 126,
        .style = kSystemMenu,
        .controls =
            {
                kProductPicture,
                kVersionLabel,
            },
        .tabOrder = {},
    };
    return about;
}

}  // namespace templates
