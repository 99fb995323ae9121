#include "ArtSet.h"

#include <QImage>

#include "BrandArt.h"
#include "ButtonArt.h"
#include "ButtonGlyphs.h"
#include "PagePictures.h"
#include "Palette.h"
#include "Raster.h"
#include "StatusArt.h"

namespace art {
namespace {

struct ButtonIds {
    const char* name;
    GlyphPainter glyph;
    int normal;
    int pressed;
    int focused;
    int disabled;
};

constexpr ButtonIds kButtons[] = {
    {"run", DrawRunGlyph, 238, 239, 169, 237},
    {"reconnect", DrawReconnectGlyph, 240, 244, 243, 242},
    {"reload", DrawReloadGlyph, 248, 245, 246, 247},
    {"open", DrawOpenGlyph, 252, 249, 250, 251},
    {"write", DrawWriteGlyph, 256, 253, 254, 255},
};

QString Bitmap(int id) {
    return QStringLiteral("bitmaps/%1").arg(id);
}

QString DarkBitmap(int id) {
    return QStringLiteral("bitmaps/%1-dark").arg(id);
}

}  // namespace

std::vector<ArtPiece> RenderAll(int scale) {
    const ScopedRenderScale drawnAt(scale);
    const QString suffix =
        scale == 1 ? QStringLiteral(".png") : QStringLiteral("@%1x.png").arg(scale);
    std::vector<ArtPiece> pieces;
    const auto add = [&](QString path, QString caption, QImage image) {
        pieces.push_back({path + suffix, std::move(caption), std::move(image)});
    };
    using palette::Backdrop;

    for (const ButtonIds& button : kButtons) {
        const QString name = QString::fromLatin1(button.name);
        add(Bitmap(button.normal), name, ButtonImage(button.glyph, ButtonState::Normal));
        add(Bitmap(button.pressed), name + " pressed",
            ButtonImage(button.glyph, ButtonState::Pressed));
        add(Bitmap(button.focused), name + " focused",
            ButtonImage(button.glyph, ButtonState::Focused));
        add(Bitmap(button.disabled), name + " disabled",
            ButtonImage(button.glyph, ButtonState::Disabled));
    }

    add(Bitmap(229), "ready XP", LampImage(palette::kGo, palette::kGoDeep, palette::kDialogXp));
    add(Bitmap(160), "working XP",
        LampImage(palette::kIdle, palette::kIdleDeep, palette::kDialogXp));
    add(Bitmap(161), "error XP", LampImage(palette::kStop, palette::kStopDeep, palette::kDialogXp));
    add(Bitmap(145), "clean XP", CleanImage(palette::kDialogXp));
    add(Bitmap(159), "ready", LampImage(palette::kGo, palette::kGoDeep, palette::kDialog));
    add(Bitmap(227), "working", LampImage(palette::kIdle, palette::kIdleDeep, palette::kDialog));
    add(Bitmap(228), "error", LampImage(palette::kStop, palette::kStopDeep, palette::kDialog));
    add(Bitmap(232), "clean", CleanImage(palette::kDialog));

    add(Bitmap(130), "configuration", ConfigurationPicture());
    add(Bitmap(136), "detection", DetectionPicture(Backdrop::Light));
    add(Bitmap(170), "power off", PowerOffPicture());
    add(Bitmap(172), "reset button", ResetButtonPicture());
    add(Bitmap(233), "main window", WorkflowPicture(Backdrop::Light));
    add(Bitmap(132), "logo", LogoPicture(Backdrop::Light));
    add(Bitmap(135), "splash and about", SplashPicture());

    add(DarkBitmap(136), "detection, dark window", DetectionPicture(Backdrop::Dark));
    add(DarkBitmap(233), "main window, dark window", WorkflowPicture(Backdrop::Dark));
    add(DarkBitmap(132), "logo, dark window", LogoPicture(Backdrop::Dark));

    add(QStringLiteral("icons/128"), QStringLiteral("icon 128"), AppIcon(32));
    for (int side : {16, 32, 48, 256}) {
        add(QStringLiteral("icons/128-%1").arg(side), QStringLiteral("icon %1").arg(side),
            AppIcon(side));
    }
    return pieces;
}

}  // namespace art
