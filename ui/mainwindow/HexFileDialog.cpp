#include "ui/mainwindow/HexFileDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

std::optional<std::string> QtHexFileDialog::ChooseHexFile(QWidget& parent) {
    QFileDialog dialog(&parent, QStringLiteral("select hex file to load"), QString(),
                       QStringLiteral("intel HEX files (*.hex)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("hex"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return QFile::encodeName(chosen.first()).toStdString();
}
