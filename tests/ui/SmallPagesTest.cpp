#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTimerEvent>

#include "tests/ui/support/QtTestApp.h"
#include "ui/controls/CTransparentStatic2.h"
#include "ui/pages/CAboutDialog.h"
#include "ui/pages/CAlertMessageDialog.h"
#include "ui/pages/CInitialSplash.h"
#include "ui/templates/WizardTemplates.h"

namespace {

class SmallPagesTest : public uitest::QtTest {};

void Tick(QObject& receiver, int timerId) {
    QTimerEvent tick(timerId);
    QCoreApplication::sendEvent(&receiver, &tick);
}

}  // namespace

TEST_F(SmallPagesTest, SplashShowsItsTwoTextsAndClosesItselfOnTheSecondTick) {
    CInitialSplash splash;
    splash.open();
    EXPECT_EQ(splash.windowTitle(), "vardeno dsPIC bootloader");
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.m_status->text(), "loading environment...");
    EXPECT_EQ(splash.m_status->TextColor(), QColor(240, 240, 240));
    EXPECT_EQ(splash.m_version->text(), "ver.1.4");
    EXPECT_EQ(splash.m_version->TextColor(), QColor(90, 90, 90));
    EXPECT_TRUE(splash.m_version->alignment() & Qt::AlignRight);
    ASSERT_NE(splash.m_timerId, 0);

    Tick(splash, splash.m_timerId);
    EXPECT_EQ(splash.m_status->text(), "detecting COM ports...");
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(splash.m_tickCount, 1);
    ASSERT_NE(splash.m_timerId, 0) << "restarted for the second text";

    const int secondTimer = splash.m_timerId;
    Tick(splash, secondTimer);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(splash.result(), QDialog::Rejected);
    EXPECT_EQ(splash.m_tickCount, 2);

    Tick(splash, secondTimer);  // late tick after the close
    EXPECT_EQ(splash.m_tickCount, 2);
    EXPECT_EQ(splash.m_status->text(), "detecting COM ports...");
}

TEST_F(SmallPagesTest, AboutBoxShowsTheVersionOverThePicture) {
    CAboutDialog about;
    about.open();
    EXPECT_EQ(about.windowTitle(), "About vardeno dsPIC bootloader");
    EXPECT_EQ(about.m_version, dialog::FindControl(&about, templates::kIdcVersion));
    EXPECT_EQ(about.m_version->text(), "ver.1.4");
    EXPECT_EQ(about.m_version->TextColor(), QColor(90, 90, 90));
    EXPECT_TRUE(about.windowFlags() & Qt::WindowCloseButtonHint);
    about.reject();
}

TEST_F(SmallPagesTest, AlertTakesItsCheckBoxOnlyOnOk) {
    CAlertMessageDialog alert;
    alert.open();
    EXPECT_EQ(alert.windowTitle(), "vardeno dsPIC bootloader. ALERT message.");
    EXPECT_FALSE(alert.windowFlags() & Qt::WindowCloseButtonHint) << "no system menu";
    auto* box = dialog::FindControlAs<QCheckBox>(&alert, templates::kIdcDontRemember);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "don't remember me again");
    box->setChecked(true);
    alert.reject();
    EXPECT_FALSE(alert.m_dontRemember) << "Escape leaves it false";

    CAlertMessageDialog confirmed;
    confirmed.open();
    dialog::FindControlAs<QCheckBox>(&confirmed, templates::kIdcDontRemember)->setChecked(true);
    auto* ok = dialog::FindControlAs<QPushButton>(&confirmed, dialog::kIdOk);
    EXPECT_EQ(ok->text(), "OK, my platform is shut down");
    ok->click();
    EXPECT_EQ(confirmed.result(), QDialog::Accepted);
    EXPECT_TRUE(confirmed.m_dontRemember);
}
