// A HEX file reaches page 3/3 from outside: dropped onto the window, given on the command line,
// or chosen in the open dialog, which opens where the last file was chosen.

#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "app/BootloaderApp.h"
#include "app/Settings.h"
#include "common/Product.h"
#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/mainwindow/HexFileDialog.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"

using namespace mainwindow;
namespace fs = std::filesystem;

namespace {

using LogLine = std::pair<std::string, std::string>;

class OpenFromAnywhereTest : public MainWindowTest {
protected:
    void SetUp() override { Connect(); }

    // Drags `urls` over the window and drops them; whether the window took the drag.
    bool Drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint middle = window_->rect().center();
        QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window_.get(), &enter);
        QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window_.get(), &drop);
        return enter.isAccepted();
    }

    static QUrl Url(const fs::path& path) {
        return QUrl::fromLocalFile(QString::fromStdString(path.string()));
    }

    QString TitleWith(const char* fileName) const {
        return QStringLiteral("%1 (%2)").arg(QLatin1String(kLoadAndWriteCaption),
                                             QLatin1String(fileName));
    }
};

TEST_F(OpenFromAnywhereTest, ADroppedHexFileLoadsAsTheOpenCommandWould) {
    MakeWindow();
    const fs::path file = CopyOfSample("dropped.hex");
    const fs::path other = CopyOfSample("other.hex");
    struct Case {
        const char* what;
        QList<QUrl> urls;
        bool taken;
    };
    const Case cases[] = {
        {"a folder", {Url(environment_.Dir())}, false},
        {"two files", {Url(file), Url(other)}, false},
        {"a web address", {QUrl(QStringLiteral("https://example.com/a.hex"))}, false},
        {"one HEX file", {Url(file)}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t lines = LogRows(*window_).size();
        EXPECT_EQ(Drop(c.urls), c.taken);
        EXPECT_EQ(LogRows(*window_).size(), lines + (c.taken ? 1 : 0));
    }
    EXPECT_EQ(LogLines(*window_).back(), (LogLine{"Load HEX file", "ok"}));
    EXPECT_EQ(window_->windowTitle(), TitleWith("dropped.hex"));
    EXPECT_TRUE(Enabled(kIdcWrite));
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(OpenFromAnywhereTest, ADropIsRefusedWhileAWriteRuns) {
    MakeWindow();
    Open(SampleHexPath());
    window_->OnWriteCommand();
    ASSERT_TRUE(Control().Busy());
    EXPECT_FALSE(Drop({Url(CopyOfSample("dropped.hex"))}));
    ASSERT_TRUE(WaitWhileBusy());
    EXPECT_EQ(LogLines(*window_).back(), (LogLine{"dsPIC write process completed", "ok"}));
    EXPECT_EQ(window_->windowTitle(), TitleWith("dsPIC30F4011-counter.hex"));
}

TEST_F(OpenFromAnywhereTest, ADroppedFileThatDoesNotLoadShowsTheOpenCommandsBox) {
    MakeWindow();
    const fs::path broken = environment_.Dir() / "broken.hex";
    std::ofstream(broken) << "not a HEX file\n";
    EXPECT_TRUE(Drop({Url(broken)}));
    EXPECT_EQ(LogLines(*window_).back(), (LogLine{"Load HEX file", "failed"}));
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].caption, "loading error");
}

TEST_F(OpenFromAnywhereTest, AFileGivenAtStartLoadsOnceTheWindowIsShown) {
    window_ = std::make_unique<CLoadAndWriteDialog>(
        theApp(), boxes_, std::make_unique<ScriptedFileDialog>(fileChoices_, whileFileDialogOpen_));
    window_->OpenWhenShown(SampleHexPath().string());
    window_->show();
    ASSERT_TRUE(uitest::PumpUntil([this] { return LogRows(*window_).size() == 2; }, 5000));
    EXPECT_EQ(LogLines(*window_).back(), (LogLine{"Load HEX file", "ok"}));
    EXPECT_EQ(window_->windowTitle(), TitleWith("dsPIC30F4011-counter.hex"));
    EXPECT_TRUE(Enabled(kIdcWrite));
}

// The dialog's folder is a setting of its own: the working path stays the catalogue's.
TEST_F(OpenFromAnywhereTest, TheOpenDialogOpensWhereTheLastFileWasChosen) {
    MakeWindow();
    const fs::path folder = environment_.Dir() / "firmware";
    fs::create_directories(folder);
    const fs::path file = folder / "app.hex";
    fs::copy_file(SampleHexPath(), file);
    char workingPath[kSettingTextBytes] = {};
    ReadSettingString(workingPath, product::kSettingsKey, "path");

    QString shownFolder;
    const auto choose = [&shownFolder](const fs::path& chosen) {
        QTimer::singleShot(0, [&shownFolder, chosen] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shownFolder = dialog->directory().absolutePath();
            dialog->selectFile(QString::fromStdString(chosen.string()));
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it
        });
    };
    QtHexFileDialog first;
    choose(file);
    EXPECT_EQ(first.ChooseHexFile(*window_), file.string());

    QtHexFileDialog nextRun;
    choose(file);
    nextRun.ChooseHexFile(*window_);
    EXPECT_EQ(shownFolder.toStdString(), folder.string());
    char stored[kSettingTextBytes] = {};
    ASSERT_EQ(ReadSettingString(stored, product::kSettingsKey, kHexFolderSetting), 0);
    EXPECT_EQ(std::string(stored), folder.string());
    char workingPathAfter[kSettingTextBytes] = {};
    ReadSettingString(workingPathAfter, product::kSettingsKey, "path");
    EXPECT_STREQ(workingPathAfter, workingPath);
}

}  // namespace
