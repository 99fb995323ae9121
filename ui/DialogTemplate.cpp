#include "ui/DialogTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include "ui/DialogUnits.h"
#include "ui/Images.h"
#include "ui/controls/CBitmapButton.h"
#include "ui/controls/CHyperlinkStatic.h"
#include "ui/controls/CTransparentBitmapStatic.h"
#include "ui/controls/CTransparentStatic2.h"

namespace dialog {
namespace {

constexpr const char* kIdProperty = "controlId";

Qt::Alignment TextAlignment(unsigned style) {
    if (style & kAlignRight) return Qt::AlignRight | Qt::AlignTop;
    if (style & kAlignCentre) return Qt::AlignHCenter | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

void ApplyFrame(QFrame& frame, unsigned style) {
    if (style & kSunken) {
        frame.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    } else if (style & kBorder) {
        frame.setFrameStyle(QFrame::Box | QFrame::Plain);
    }
    frame.setLineWidth(1);
}

QLabel* MakeText(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(ShownStaticText(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(TextAlignment(control.style));
    label->setWordWrap(true);
    ApplyFrame(*label, control.style);
    return label;
}

QWidget* MakeTransparentText(const ControlTemplate& control, QWidget* parent) {
    auto* label = new CTransparentStatic2(ShownStaticText(control.text), parent);
    label->setAlignment(TextAlignment(control.style));
    label->setWordWrap(true);
    return label;
}

QWidget* MakePicture(const ControlTemplate& control, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ApplyFrame(*picture, control.style);
    if (control.bitmap != 0) picture->setPixmap(LoadBitmap(control.bitmap));
    picture->setScaledContents((control.style & kFitImage) != 0);
    return picture;
}

QWidget* MakeTransparentPicture(const ControlTemplate& control, QWidget* parent) {
    auto* picture = new CTransparentBitmapStatic(parent);
    if (control.bitmap != 0) picture->SetBitmap(LoadBitmap(control.bitmap));
    return picture;
}

QWidget* MakeImagePushButton(const ControlTemplate& control, QWidget* parent) {
    auto* button = new QPushButton(parent);
    const QString name = ShownStaticText(control.text);
    button->setShortcut(QKeySequence::mnemonic(QString::fromStdString(control.text)));
    button->setToolTip(name);
    button->setAccessibleName(name);
    if (control.bitmap != 0) {
        const QPixmap image = LoadBitmap(control.bitmap);
        button->setIcon(image);
        button->setIconSize(image.deviceIndependentSize().toSize());
    }
    return button;
}

QWidget* MakeBitmapButton(const ControlTemplate& control, QWidget* parent) {
    auto* button = new CBitmapButton(parent);
    button->setText(QString::fromStdString(control.text));
    const ButtonImages& images = control.buttonImages;
    if (images[0] != 0) button->LoadImages(images[0], images[1], images[2], images[3]);
    return button;
}

QWidget* MakeReportList(const ControlTemplate& control, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setItemsExpandable(false);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    ApplyFrame(*list, control.style | kSunken);
    return list;
}

QWidget* MakeControl(const ControlTemplate& control, QWidget* parent) {
    const QString text = QString::fromStdString(control.text);
    switch (control.kind) {
        case ControlKind::Text:
            return MakeText(control, parent);
        case ControlKind::TransparentText:
            return MakeTransparentText(control, parent);
        case ControlKind::GroupBox:
            return new QGroupBox(text, parent);
        case ControlKind::Picture:
            return MakePicture(control, parent);
        case ControlKind::TransparentPicture:
            return MakeTransparentPicture(control, parent);
        case ControlKind::PushButton:
            return new QPushButton(text, parent);
        case ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(text, parent);
            button->setDefault(true);
            return button;
        }
        case ControlKind::ImagePushButton:
            return MakeImagePushButton(control, parent);
        case ControlKind::CheckBox:
            return new QCheckBox(text, parent);
        case ControlKind::DropDownList:
            return new QComboBox(parent);
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            return bar;
        }
        case ControlKind::ReportList:
            return MakeReportList(control, parent);
        case ControlKind::BitmapButton:
            return MakeBitmapButton(control, parent);
        case ControlKind::Link:
            return new CHyperlinkStatic(ShownStaticText(control.text), parent);
    }
    return nullptr;
}

bool TakesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::ImagePushButton:
        case ControlKind::CheckBox:
        case ControlKind::DropDownList:
        case ControlKind::ReportList:
        case ControlKind::BitmapButton:
            return true;
        default:
            return false;
    }
}

Qt::WindowFlags WindowFlagsFor(unsigned style) {
    if (style & kNoTitle) return Qt::Dialog | Qt::FramelessWindowHint;
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (style & kSystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & kMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

// The one-pixel frame of a popup, above everything and blind to the mouse.
void AddThinBorder(QDialog& dialog) {
    auto* border = new QFrame(&dialog);
    border->setFrameStyle(QFrame::Box | QFrame::Plain);
    border->setLineWidth(1);
    border->setGeometry(dialog.rect());
    border->setAttribute(Qt::WA_TransparentForMouseEvents);
    border->raise();
}

void PlaceControl(QWidget& widget, const ControlTemplate& control, DialogBaseUnits base) {
    QRect geometry =
        DialogUnitsToPixels(QRect(control.x, control.y, control.width, control.height), base);
    if (control.kind == ControlKind::DropDownList) {
        // The template's height includes the dropped-down list; the box itself is one line.
        geometry.setHeight(widget.sizeHint().height());
    }
    if (control.kind == ControlKind::BitmapButton) {
        auto& button = static_cast<CBitmapButton&>(widget);
        if (!button.sizeHint().isEmpty()) geometry.setSize(button.sizeHint());
    }
    widget.setGeometry(geometry);
}

}  // namespace

QString ShownStaticText(const std::string& text) {
    QString shown;
    const QString source = QString::fromStdString(text);
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (source[i] == u'&') {
            if (i + 1 < source.size() && source[i + 1] == u'&') {
                shown += u'&';
                ++i;
            }
            continue;
        }
        shown += source[i];
    }
    return shown;
}

void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate) {
    const QFont font = DialogFont();
    const DialogBaseUnits base = MeasureBaseUnits(font);
    dialog.setFont(font);
    dialog.setWindowFlags(WindowFlagsFor(dialogTemplate.style));
    dialog.setWindowTitle(QString::fromStdString(dialogTemplate.caption));
    dialog.setFixedSize(DialogUnitsToPixelsX(dialogTemplate.width, base),
                        DialogUnitsToPixelsY(dialogTemplate.height, base));

    std::vector<QWidget*> groupBoxes;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = MakeControl(control, &dialog);
        widget->setProperty(kIdProperty, control.id);
        widget->setFocusPolicy(TakesFocus(control.kind) ? Qt::StrongFocus : Qt::NoFocus);
        PlaceControl(*widget, control, base);
        if (control.style & kDisabled) widget->setEnabled(false);
        if (control.style & kHidden) widget->setVisible(false);
        if (control.kind == ControlKind::GroupBox) groupBoxes.push_back(widget);
    }
    // A group box only frames its neighbours; it must never cover them.
    for (QWidget* groupBox : groupBoxes) groupBox->lower();

    for (std::size_t i = 1; i < dialogTemplate.tabOrder.size(); ++i) {
        QWidget* first = FindControl(&dialog, dialogTemplate.tabOrder[i - 1]);
        QWidget* second = FindControl(&dialog, dialogTemplate.tabOrder[i]);
        if (first != nullptr && second != nullptr) QWidget::setTabOrder(first, second);
    }
    if (dialogTemplate.style & kThinBorder) AddThinBorder(dialog);
}

QWidget* FindControl(const QWidget* dialog, int id) {
    if (dialog == nullptr || id == kNoId) return nullptr;
    const auto children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (ControlId(child) == id) return child;
    }
    return nullptr;
}

int ControlId(const QWidget* control) {
    const QVariant id = control->property(kIdProperty);
    return id.isValid() ? id.toInt() : kNoId;
}

}  // namespace dialog
