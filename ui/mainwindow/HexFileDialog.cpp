#include "ui/mainwindow/HexFileDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStringList>
#include <QTreeView>

#include "app/Settings.h"
#include "common/Product.h"

namespace {

// The detail view's name, size, type and date columns beside the side bar, in average
// characters, and a screenful of files.
constexpr int kColumnsChars = 110;
constexpr int kFileLines = 26;

// Qt sizes the columns from sample texts of its own, narrower than "990.5 KiB" or "plain text
// document" in most fonts: each column follows its texts, the name takes what is left.
void FitColumnsToTheirTexts(QFileDialog& dialog) {
    auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (files == nullptr) return;
    QHeaderView* header = files->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column) {
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

std::string StoredFolder() {
    char folder[kSettingTextBytes] = {};
    if (ReadSettingString(folder, product::kSettingsKey, kHexFolderSetting) != 0) return {};
    return folder;
}

}  // namespace

std::unique_ptr<QFileDialog> MakeHexFileDialog(QWidget& parent, const std::string& folder) {
    auto dialog = std::make_unique<QFileDialog>(&parent, QStringLiteral("select hex file to load"));
    dialog->setNameFilters(
        {QStringLiteral("intel HEX files (*.hex)"), QStringLiteral("All files (*)")});
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(QStringLiteral("hex"));
    dialog->setViewMode(QFileDialog::Detail);
    const QString start = QFile::decodeName(folder.c_str());
    if (!start.isEmpty() && QFileInfo(start).isDir()) dialog->setDirectory(start);
    FitColumnsToTheirTexts(*dialog);
    const QFontMetrics metrics(dialog->font());
    dialog->resize(dialog->sizeHint().expandedTo(
        QSize(metrics.averageCharWidth() * kColumnsChars, metrics.lineSpacing() * kFileLines)));
    return dialog;
}

std::optional<std::string> QtHexFileDialog::ChooseHexFile(QWidget& parent) {
    const std::unique_ptr<QFileDialog> dialog = MakeHexFileDialog(parent, StoredFolder());
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    // A folder too long for the setting is not remembered; the dialog then opens where Qt
    // puts it.
    const QByteArray folder = QFile::encodeName(QFileInfo(chosen.first()).absolutePath());
    WriteSettingString(folder.constData(), product::kSettingsKey, kHexFolderSetting);
    return QFile::encodeName(chosen.first()).toStdString();
}
