#pragma once

#include <QPointer>
#include <QWidget>

#include "common/MessageBox.h"

// The program's boxes as QMessageBox: the exact text and caption, the icon and the buttons.
class QtMessageBox : public IMessageBox {
public:
    explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}

    BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                   BoxButtons buttons) override;

private:
    QPointer<QWidget> parent_;
};
