// The open-file dialog as a user reads it, at every scale the suite runs: its filters and title,
// the detail view, and the size, type and date columns wide enough for their texts.

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/mainwindow/HexFileDialog.h"

namespace fs = std::filesystem;

namespace {

class OpenDialogColumnsTest : public MainWindowTest {};

TEST_F(OpenDialogColumnsTest, TheOpenFileDialogOffersAllFilesAndShowsItsColumnsWhole) {
    Connect();
    MakeWindow();
    // A large HEX file and a text file: the widest size and type texts a firmware folder has.
    const fs::path folder = environment_.Dir() / "firmware";
    fs::create_directories(folder);
    std::ofstream(folder / "application-with-bootloader.hex") << std::string(1014271, 'A');
    std::ofstream(folder / "notes.txt") << "plain text\n";

    const std::unique_ptr<QFileDialog> dialog = MakeHexFileDialog(*window_, folder.string());
    EXPECT_EQ(dialog->nameFilters(), QStringList({QStringLiteral("intel HEX files (*.hex)"),
                                                  QStringLiteral("All files (*)")}));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("select hex file to load"));
    dialog->selectNameFilter(QStringLiteral("All files (*)"));
    dialog->show();
    auto* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(files, nullptr);
    ASSERT_TRUE(uitest::PumpUntil(
        [files] { return files->model()->rowCount(files->rootIndex()) == 2; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(files->isVisible()) << "the detail view";
    EXPECT_FALSE(files->horizontalScrollBar()->isVisible()) << "every column fits";
    const QHeaderView* header = files->header();
    for (int column = 0; column < 4; ++column) EXPECT_FALSE(files->isColumnHidden(column));
    for (int column = 1; column < 4; ++column) {
        SCOPED_TRACE(column);
        EXPECT_GE(header->sectionSize(column),
                  static_cast<const QAbstractItemView*>(files)->sizeHintForColumn(column))
            << "no text of the column is cut";
        EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column))
            << "nor its heading";
    }
}

}  // namespace
