// The window as a production station: the stored settings are taken up when it opens, each
// write gives its board the next number and a line in the log, and the settings dialog refuses
// what cannot number boards.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <algorithm>
#include <nlohmann/json.hpp>

#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/mainwindow/ProductionDialog.h"
#include "ui/mainwindow/ProductionSettingsStore.h"

namespace {

using LogLine = std::pair<std::string, std::string>;

class ProductionWindowTest : public MainWindowTest {};

TEST_F(ProductionWindowTest, EachWriteGivesItsBoardTheNextNumberAndALogLine) {
    ProductionSettings settings;
    settings.serials = true;
    settings.start = 1000;
    settings.place = {0x7FFC10, 1};
    settings.statePath = (environment_.Dir() / "serial.state").string();
    settings.logPath = (environment_.Dir() / "boards.jsonl").string();
    ASSERT_TRUE(SaveProductionSettings(settings));
    Connect();
    MakeWindow();
    ASSERT_NE(window_->Station(), nullptr) << "the stored settings are taken up";
    Open(SampleHexPath());

    for (const std::uint64_t number : {1000, 1001}) {
        window_->OnWriteCommand();
        ASSERT_TRUE(WaitWhileBusy());
        const auto lines = LogLines(*window_);
        EXPECT_NE(std::find(lines.begin(), lines.end(),
                            LogLine{"Serial number " + std::to_string(number), "ok"}),
                  lines.end());
        EXPECT_EQ(board_->Word(0x7FFC10), number);
    }
    EXPECT_EQ(testsupport::ReadFile(settings.statePath), "next 1002\n");
    const std::string log = testsupport::ReadFile(settings.logPath);
    ASSERT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    const nlohmann::json last = nlohmann::json::parse(log.substr(log.find('\n') + 1));
    EXPECT_EQ(last.at("serial"), 1001);
    EXPECT_EQ(last.at("port"), "COM" + std::to_string(kCom));
    EXPECT_EQ(last.at("result"), "ok");
}

TEST_F(ProductionWindowTest, TheDialogKeepsWhatCannotNumberBoardsOpen) {
    const struct {
        const char* start;
        const char* step;
        int words;
        const char* state;
        bool serials;
        const char* problem;  // "" when OK closes the dialog
    } cases[] = {
        {"abc", "1", 1, "s", false, ""},  // the numbers' fields do not count without numbers
        {"abc", "1", 1, "s", true, "The first number is not a whole number."},
        {"70000", "1", 1, "s", true, "the first serial number, 70000, does not fit in 1 word"},
        {"70000", "1", 2, "s", true, ""},
        {"1", "0", 1, "s", true, "the serial numbers' step must be above 0"},
        {"1", "1", 1, "", true, "the serial numbers need a file to keep the next one"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " " + c.step + " " + c.state);
        ProductionDialog dialog(ProductionSettings{});
        dialog.serials_->setChecked(c.serials);
        dialog.start_->setText(QString::fromLatin1(c.start));
        dialog.step_->setText(QString::fromLatin1(c.step));
        dialog.words_->setValue(c.words);
        dialog.statePath_->setText(QString::fromLatin1(c.state));
        dialog.accept();
        EXPECT_EQ(dialog.Problem().toStdString(), c.problem);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, std::string(c.problem).empty());
        if (dialog.result() == QDialog::Accepted && c.serials) {
            EXPECT_EQ(dialog.Settings().start, 70000u);
            EXPECT_EQ(dialog.Settings().place.words, 2u);
        }
    }
}

}  // namespace
