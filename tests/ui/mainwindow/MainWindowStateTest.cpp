#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <fstream>

#include "app/BootloaderApp.h"
#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/Images.h"
#include "ui/controls/CBitmapButton.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"
#include "ui/mainwindow/LogList.h"

using namespace mainwindow;

namespace {

bool SameImage(const QPixmap& shown, int bitmap) {
    return !shown.isNull() &&
           shown.toImage().convertToFormat(QImage::Format_ARGB32) ==
               LoadBitmap(bitmap).toImage().convertToFormat(QImage::Format_ARGB32);
}

class MainWindowStateTest : public MainWindowTest {
protected:
    void SetUp() override {
        Connect();
        MakeWindow();
    }

    QTreeWidget& LogView() const { return *qobject_cast<QTreeWidget*>(Widget(kIdcLog)); }
    QCheckBox& Check(int id) const { return *qobject_cast<QCheckBox*>(Widget(id)); }
};

TEST_F(MainWindowStateTest, StartsReadyWithTheDeviceItsVersionsAndOneLogLine) {
    EXPECT_EQ(window_->windowTitle(),
              QStringLiteral("vardeno dsPIC bootloader - loading and writing - 3/3"));
    for (const int id :
         {kIdcOpen, kIdcOpenLabel, kIdcRun, kIdcRunLabel, kIdcReconnect, kIdcReconnectLabel}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    for (const int id : {kIdcReload, kIdcReloadLabel, kIdcWrite, kIdcWriteLabel, kIdcWriteHint,
                         kIdcProgramFlash, kIdcWriteEeprom, kIdcConfigureRegisters}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_FALSE(Widget(kIdcProgress)->isVisible());
    EXPECT_TRUE(Widget(kIdcStatusLamp)->isVisible());
    EXPECT_TRUE(SameImage(qobject_cast<QLabel*>(Widget(kIdcStatusLamp))->pixmap(), 159));
    EXPECT_EQ(Text(kIdcStatusText), "ready");
    EXPECT_EQ(Control().Busy(), 0);
    EXPECT_EQ(Control().PortOpen(), 1);

    EXPECT_EQ(Text(kIdcSoftwareVersion), "1.4");
    EXPECT_EQ(Text(kIdcFirmwareVersion), "1.4");
    EXPECT_EQ(Text(kIdcDeviceName), "dsPIC30F4011");
    EXPECT_LE(Widget(kIdcDeviceName)->fontMetrics().height(), 12);
    for (const int id : {kIdcDeviceName, kIdcWriteLabel, kIdcSoftwareVersionLabel}) {
        const auto* label = qobject_cast<QLabel*>(Widget(id));
        EXPECT_GE(label->contentsRect().width(),
                  label->fontMetrics().horizontalAdvance(label->text()))
            << "the whole of " << label->text().toStdString() << " shows";
    }
    EXPECT_EQ(Text(kIdcCodeRange), "(0x0000 - 0x7FFE)");
    EXPECT_EQ(Text(kIdcEepromRange), "(0x7FFC00 - 0x7FFFFE)") << "more than four digits";
    EXPECT_EQ(Text(kIdcConfigRange), "(0xF80000 - 0xF8000E)");

    const std::vector<LogRow> rows = LogRows(*window_);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].number, "0");
    EXPECT_EQ(rows[0].message, "vardeno dsPIC bootloader started");
    EXPECT_EQ(rows[0].result, "ok");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"))
                    .match(rows[0].time)
                    .hasMatch());
    EXPECT_EQ(window_->focusWidget(), Widget(kIdcOpen));
}

TEST_F(MainWindowStateTest, ControlsFollowTheTemplate) {
    // Tab order.
    const int order[] = {kIdcOpen,  kIdcProgramFlash, kIdcWriteEeprom, kIdcConfigureRegisters,
                         kIdcWrite, kIdcRun,          kIdcReconnect,   kIdcReload,
                         kIdcLog,   kIdcCleanLog};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget* next = Widget(order[i - 1])->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
        EXPECT_EQ(next, Widget(order[i])) << order[i - 1];
    }
    // The bitmap buttons take the size of their 47 x 42 images.
    for (const int id : {kIdcWrite, kIdcOpen, kIdcReload, kIdcRun, kIdcReconnect}) {
        EXPECT_EQ(Widget(id)->size(), QSize(47, 42)) << id;
    }
    EXPECT_TRUE(SameImage(qobject_cast<CBitmapButton*>(Widget(kIdcRun))->CurrentImage(), 238));
    EXPECT_TRUE(SameImage(qobject_cast<CBitmapButton*>(Widget(kIdcWrite))->CurrentImage(), 255))
        << "disabled image";
    const QIcon clean = qobject_cast<QPushButton*>(Widget(kIdcCleanLog))->icon();
    EXPECT_TRUE(SameImage(clean.pixmap(32, 32), 232));
}

TEST_F(MainWindowTest, TheXpKindTakesTheOtherImageSet) {
    Connect();
    theApp().m_osName = "XP";
    MakeWindow();
    EXPECT_TRUE(SameImage(qobject_cast<QLabel*>(Widget(kIdcStatusLamp))->pixmap(), 229));
    const QIcon clean = qobject_cast<QPushButton*>(Widget(kIdcCleanLog))->icon();
    EXPECT_TRUE(SameImage(clean.pixmap(32, 32), 145));
    window_->SetStatusLamp(static_cast<Lamp>(7));
    EXPECT_TRUE(SameImage(qobject_cast<QLabel*>(Widget(kIdcStatusLamp))->pixmap(), 229))
        << "any other state leaves the lamp";
}

TEST_F(MainWindowStateTest, LogNumbersItsLinesAndColoursOnlyTheNewest) {
    window_->AddLogLine("first", "failed");
    window_->AddLogLine("second", "OK");
    QTreeWidget& list = LogView();
    const auto colour = [&list](int row) {
        return LogLineColour(list.model()->index(row, LogList::kMessageColumn));
    };
    EXPECT_EQ(LogRows(*window_)[2].number, "2");
    EXPECT_FALSE(colour(0));
    EXPECT_FALSE(colour(1)) << "an earlier line loses its colour";
    EXPECT_EQ(colour(2), kLogFailedColour) << "the comparison is case-sensitive";
    window_->AddLogLine("third", "ok");
    EXPECT_EQ(colour(3), kLogOkColour);
    EXPECT_TRUE(list.selectedItems().isEmpty()) << "the log is a record, not a selection";

    qobject_cast<QPushButton*>(Widget(kIdcCleanLog))->click();
    EXPECT_EQ(list.topLevelItemCount(), 0);
    window_->AddLogLine("after clean", "ok");
    EXPECT_EQ(LogRows(*window_)[0].number, "0");
}

TEST_F(MainWindowStateTest, FirmwareVersionBytesAreSigned) {
    theApp().m_firmwareVersion[0] = 0xFF;
    theApp().m_firmwareVersion[1] = 0;
    window_->ShowVersions();
    EXPECT_EQ(Text(kIdcFirmwareVersion), "-1.0");
    theApp().m_firmwareVersion[0] = 2;
    window_->ShowVersions();
    EXPECT_EQ(Text(kIdcFirmwareVersion), "2.0");
}

TEST_F(MainWindowStateTest, OpeningAFileLoadsItAndNamesItInTheTitle) {
    fileChoices_.clear();
    window_->OnOpenCommand();
    EXPECT_EQ(LogRows(*window_).size(), 1u) << "a cancelled dialog changes nothing";
    EXPECT_TRUE(Control().HexPath().empty());

    Open(SampleHexPath());
    EXPECT_EQ(
        window_->windowTitle(),
        QStringLiteral(
            "vardeno dsPIC bootloader - loading and writing - 3/3 (dsPIC30F4011-counter.hex)"));
    EXPECT_EQ(LogLines(*window_).back(),
              (std::pair<std::string, std::string>{"Load HEX file", "ok"}));
    for (const int id : {kIdcRun, kIdcReload, kIdcWrite, kIdcWriteHint, kIdcProgramFlash,
                         kIdcWriteEeprom, kIdcConfigureRegisters}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    EXPECT_TRUE(Check(kIdcProgramFlash).isChecked());
    EXPECT_TRUE(Check(kIdcWriteEeprom).isChecked());
    EXPECT_FALSE(Check(kIdcConfigureRegisters).isChecked()) << "never ticked by the program";
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(MainWindowStateTest, AConfigurationOnlyFileOffersOnlyTheRegisters) {
    Open(SampleHexPath());
    // FWDT with the watchdog off, at the configuration's word address 0xF80002.
    const auto path = environment_.Dir() / "config-only.hex";
    std::ofstream(path) << ":0200000401F009\n:04000400FF7F00007A\n:00000001FF\n";
    Open(path);
    ASSERT_EQ(LogLines(*window_).back().second, "ok");
    EXPECT_TRUE(Enabled(kIdcConfigureRegisters));
    EXPECT_FALSE(Check(kIdcConfigureRegisters).isChecked());
    // Neither the reset vector the loader adds nor the ticks of the earlier file may write the
    // chip's first row or the EEPROM.
    EXPECT_FALSE(Enabled(kIdcProgramFlash));
    EXPECT_FALSE(Check(kIdcProgramFlash).isChecked());
    EXPECT_FALSE(Enabled(kIdcWriteEeprom));
    EXPECT_FALSE(Check(kIdcWriteEeprom).isChecked());
}

TEST_F(MainWindowStateTest, ReloadDoesNothingWhileBusyAndChangesNoEnablingAfterwards) {
    Open(SampleHexPath());
    window_->OnReconnectCommand();  // busy until the detection's result is handled
    ASSERT_TRUE(Control().Busy());
    const std::size_t lines = LogRows(*window_).size();
    qobject_cast<QAbstractButton*>(Widget(kIdcReload))->click();
    EXPECT_EQ(LogRows(*window_).size(), lines);
    ASSERT_TRUE(WaitWhileBusy());

    Check(kIdcProgramFlash).setChecked(false);
    qobject_cast<QAbstractButton*>(Widget(kIdcReload))->click();
    EXPECT_EQ(LogLines(*window_).back(), (std::pair<std::string, std::string>{"Reloading", "ok"}));
    EXPECT_TRUE(Check(kIdcProgramFlash).isChecked()) << "the choice follows the file again";
    EXPECT_TRUE(Enabled(kIdcWrite) && Enabled(kIdcReload) && Enabled(kIdcRun));
}

}  // namespace
