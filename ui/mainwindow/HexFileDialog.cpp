#include "ui/mainwindow/HexFileDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QStringList>

namespace {

// The detail view's name, size, type and date columns beside the side bar, in average
// characters, and a screenful of files.
constexpr int kColumnsChars = 110;
constexpr int kFileLines = 26;

}  // namespace

std::unique_ptr<QFileDialog> MakeHexFileDialog(QWidget& parent) {
    auto dialog = std::make_unique<QFileDialog>(&parent, QStringLiteral("select hex file to load"));
    dialog->setNameFilters(
        {QStringLiteral("intel HEX files (*.hex)"), QStringLiteral("All files (*)")});
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(QStringLiteral("hex"));
    dialog->setViewMode(QFileDialog::Detail);
    const QFontMetrics metrics(dialog->font());
    dialog->resize(dialog->sizeHint().expandedTo(
        QSize(metrics.averageCharWidth() * kColumnsChars, metrics.lineSpacing() * kFileLines)));
    return dialog;
}

std::optional<std::string> QtHexFileDialog::ChooseHexFile(QWidget& parent) {
    const std::unique_ptr<QFileDialog> dialog = MakeHexFileDialog(parent);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return QFile::encodeName(chosen.first()).toStdString();
}
