#include "ui/QtMessageBox.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon QtIcon(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Error:
            return QMessageBox::Critical;
        case BoxIcon::Information:
            return QMessageBox::Information;
        case BoxIcon::Warning:
        case BoxIcon::Exclamation:
            return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

BoxAnswer QtMessageBox::Show(const std::string& text, const std::string& caption, BoxIcon icon,
                             BoxButtons buttons) {
    const QMessageBox::StandardButtons qtButtons =
        buttons == BoxButtons::Ok ? QMessageBox::Ok : (QMessageBox::Yes | QMessageBox::No);
    QMessageBox box(QtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    qtButtons, parent_.data());
    box.setTextFormat(Qt::PlainText);
    if (buttons == BoxButtons::YesNoDefaultNo) box.setDefaultButton(QMessageBox::No);
    const int answer = box.exec();
    if (buttons == BoxButtons::Ok) return BoxAnswer::Ok;
    return answer == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}
