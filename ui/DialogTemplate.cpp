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
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

#include "ui/DialogUnits.h"
#include "ui/Images.h"
#include "ui/TemplateLayout.h"
#include "ui/controls/CBitmapButton.h"
#include "ui/controls/CHyperlinkStatic.h"
#include "ui/controls/CTransparentBitmapStatic.h"
#include "ui/controls/CTransparentStatic2.h"

namespace dialog {
namespace {

constexpr const char* kIdProperty = "controlId";
constexpr const char* kIndexProperty = "controlIndex";

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
    if (control.bitmap != 0) {
        picture->SetBitmap(LoadBitmapOn(control.bitmap, parent->palette().color(QPalette::Window)));
    }
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
        case ControlKind::ToolButton: {
            auto* button = new QToolButton(parent);
            button->setText(text);
            return button;
        }
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

// The closed box of a drop-down list; the template's height includes the list it drops down.
constexpr int kClosedDropDownHeight = 12;

// A label of one line of text, which must show all of it.
bool IsOneLineText(const QWidget& widget) {
    const auto* label = qobject_cast<const QLabel*>(&widget);
    if (label == nullptr || label->text().isEmpty() || label->text().contains(u'\n')) return false;
    return label->height() < 2 * label->fontMetrics().lineSpacing();
}

QSize TextNeeds(const QLabel& label) {
    const int frame = 2 * label.frameWidth() + 2 * label.margin();
    // One pixel more: Qt wraps or cuts a text that fills its label to the last pixel.
    return QSize(label.fontMetrics().horizontalAdvance(label.text()) + frame + 1,
                 label.fontMetrics().height() + frame);
}

Anchor AnchorOf(unsigned style) {
    if (style & kAlignRight) return Anchor::Right;
    if (style & kAlignCentre) return Anchor::Centre;
    return Anchor::Left;
}

// The template's place of a control and the room the style and the font ask for it.
ControlPlace Measure(QWidget& widget, const ControlTemplate& control, DialogBaseUnits base) {
    ControlPlace place{TemplatePlace(control, base), QSize(), AnchorOf(control.style),
                       control.kind == ControlKind::GroupBox, false};
    widget.setGeometry(place.place);
    switch (control.kind) {
        case ControlKind::CheckBox:
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::ImagePushButton:
        case ControlKind::Link:
        case ControlKind::ToolButton:
            place.needed = widget.sizeHint();
            break;
        case ControlKind::DropDownList:
            place.needed = QSize(place.place.width(), widget.sizeHint().height());
            break;
        case ControlKind::BitmapButton:
            // Sized to its images, as the original button was.
            if (!widget.sizeHint().isEmpty()) {
                place.needed = widget.sizeHint();
                place.exactSize = true;
            }
            break;
        case ControlKind::Text:
        case ControlKind::TransparentText:
            if (IsOneLineText(widget)) place.needed = TextNeeds(static_cast<QLabel&>(widget));
            break;
        default:
            break;
    }
    return place;
}

}  // namespace

QRect TemplatePlace(const ControlTemplate& control, const DialogBaseUnits& base) {
    QRect place =
        DialogUnitsToPixels(QRect(control.x, control.y, control.width, control.height), base);
    if (control.kind == ControlKind::DropDownList) {
        place.setHeight(
            std::min(place.height(), DialogUnitsToPixelsY(kClosedDropDownHeight, base)));
    }
    return place;
}

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

    std::vector<QWidget*> widgets;
    std::vector<ControlPlace> places;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = MakeControl(control, &dialog);
        widget->setProperty(kIdProperty, control.id);
        widget->setProperty(kIndexProperty, QVariant::fromValue(widgets.size()));
        widget->setFocusPolicy(TakesFocus(control.kind) ? Qt::StrongFocus : Qt::NoFocus);
        places.push_back(Measure(*widget, control, base));
        widgets.push_back(widget);
        if (control.style & kDisabled) widget->setEnabled(false);
        if (control.style & kHidden) widget->setVisible(false);
    }
    const PlacedDialog placed =
        PlaceControls(places, QSize(DialogUnitsToPixelsX(dialogTemplate.width, base),
                                    DialogUnitsToPixelsY(dialogTemplate.height, base)));
    dialog.setFixedSize(placed.size);
    for (std::size_t i = 0; i < widgets.size(); ++i) widgets[i]->setGeometry(placed.places[i]);
    // A group box only frames its neighbours; it must never cover them.
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        if (places[i].frame) widgets[i]->lower();
    }

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

QWidget* ControlAt(const QWidget* dialog, std::size_t index) {
    const auto children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const QVariant at = child->property(kIndexProperty);
        if (at.isValid() && at.value<std::size_t>() == index) return child;
    }
    return nullptr;
}

int ControlId(const QWidget* control) {
    const QVariant id = control->property(kIdProperty);
    return id.isValid() ? id.toInt() : kNoId;
}

}  // namespace dialog
