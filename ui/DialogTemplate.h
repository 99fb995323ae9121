#pragma once

#include <QObject>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "ui/DialogUnits.h"

class QDialog;

// A dialog described as data: every control with its fixed id, kind, text and geometry in
// dialog units. The builder turns it into widgets; controllers and tests find the widgets
// by id.
namespace dialog {

// The id of controls that nobody addresses.
inline constexpr int kNoId = -1;
// Standard ids of the OK and Cancel buttons.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

enum class ControlKind {
    Text,                // static text (QLabel)
    TransparentText,     // CTransparentStatic2
    GroupBox,            // frame with a title, always behind the other controls
    Picture,             // static bitmap
    TransparentPicture,  // CTransparentBitmapStatic: magenta left out
    PushButton,
    DefaultPushButton,
    ImagePushButton,  // push button showing only an image; its text gives the mnemonic
    CheckBox,
    DropDownList,  // combo box without typing
    ProgressBar,
    ReportList,    // list with columns (QTreeWidget)
    BitmapButton,  // CBitmapButton: four images
    Link,          // CHyperlinkStatic
    ToolButton,    // small button with a short text; not in the tab order
};

// Style bits of a control.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kAlignRight = 1u << 0,
    kAlignCentre = 1u << 1,
    kDisabled = 1u << 2,
    kHidden = 1u << 3,
    kBorder = 1u << 4,    // thin line
    kSunken = 1u << 5,    // sunken edge
    kFitImage = 1u << 6,  // picture scaled to the control when the dialog font changed its size
};

// Style bits of a dialog.
enum DialogStyle : unsigned {
    kDialogNone = 0,
    kSystemMenu = 1u << 0,  // close box in the title bar
    kMinimizeBox = 1u << 1,
    kNoTitle = 1u << 2,     // popup without a title bar
    kThinBorder = 1u << 3,  // one-pixel frame around the popup
};

// Images of a bitmap button, in the order normal, pressed, focused, disabled.
using ButtonImages = std::array<int, 4>;

struct ControlTemplate {
    int id = kNoId;
    ControlKind kind = ControlKind::Text;
    std::string text;  // Windows mnemonic convention: "&x" underlines x, "&&" is one '&'
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    unsigned style = kStyleNone;
    int bitmap = 0;  // picture and image push button: bitmap id, 0 for none
    ButtonImages buttonImages{};
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int width = 0;  // client area, dialog units
    int height = 0;
    unsigned style = kDialogNone;
    std::vector<ControlTemplate> controls;
    std::vector<int> tabOrder;  // ids in Tab order; empty: template order
};

// The place the template gives a control, in pixels of `base`; a drop-down list's without
// the list it drops down. The built control may be larger where the style needs more room.
QRect TemplatePlace(const ControlTemplate& control, const DialogBaseUnits& base);

// Makes `dialog` look as the template says: font, caption, flags, fixed size and every
// control at its place. Where the desktop's style or font needs more room than the dialog
// units give (a check box's indicator, a taller drop-down, a longer text), the control grows
// and what lies to its right or below moves along, and the dialog with them; nothing is ever
// smaller than the template. Call once, on a dialog without children of its own.
void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate);

// The control with `id` among the dialog's descendants, or null.
QWidget* FindControl(const QWidget* dialog, int id);

// The control with `id` as a T, or null when missing or of another class.
template <class T>
T* FindControlAs(const QWidget* dialog, int id) {
    return qobject_cast<T*>(FindControl(dialog, id));
}

// The id a control was built with, kNoId for widgets that did not come from a template.
int ControlId(const QWidget* control);

// The control built from the template's `index`-th entry (ids need not be unique), or null.
QWidget* ControlAt(const QWidget* dialog, std::size_t index);

// A static text in the Windows mnemonic convention as it is shown: "&&" becomes "&",
// a single '&' disappears.
QString ShownStaticText(const std::string& text);

}  // namespace dialog
