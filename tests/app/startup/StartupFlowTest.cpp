#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/BootloaderApp.h"
#include "app/Settings.h"
#include "app/SettingsLocation.h"
#include "app/SingleInstance.h"
#include "app/StartupPages.h"
#include "common/Product.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kAnotherInstance =
    "There is another instance of vardeno dsPIC bootloader already runnig.\nClose it before "
    "running another instance of this program.";

// Records which pages were shown and answers as told.
class FakePages : public IStartupPages {
public:
    IMessageBox& Boxes() override { return boxes; }
    void ShowSplash() override { shown.push_back("splash"); }
    ConfigurationOutcome ShowConfiguration() override {
        shown.push_back("configuration");
        return configuration;
    }
    bool ShowAlert() override {
        shown.push_back("alert");
        return dontRemember;
    }
    bool ShowDetection() override {
        shown.push_back("detection");
        return detected;
    }
    void ShowMainWindow() override { shown.push_back("main"); }

    testsupport::RecordingMessageBox boxes;
    std::vector<std::string> shown;
    ConfigurationOutcome configuration{true, "Linked port (COM7)", "57600", "dtr-inverted"};
    bool dontRemember = false;
    bool detected = true;
};

using Pages = std::vector<std::string>;

// Settings, runtime directory and port directory of the test's own, with one port: a
// pseudo-terminal linked as COM7.
class StartupFlowTest : public ::testing::Test {
protected:
    StartupFlowTest()
        : config_("XDG_CONFIG_HOME", (dir_.path() / "config").string()),
          machine_("XDG_CONFIG_DIRS", (dir_.path() / "machine").string()),
          runtime_("XDG_RUNTIME_DIR", (dir_.path() / "run").string()) {
        fs::create_directories(dir_.path() / "run");
        ::chmod((dir_.path() / "run").c_str(), 0700);
        char slave[256] = {};
        EXPECT_EQ(::openpty(&master_, &slaveFd_, slave, nullptr, nullptr), 0);
        const fs::path ports = dir_.path() / "config" / "lunvik" / "ports";
        fs::create_directories(ports);
        fs::create_symlink(slave, ports / "COM7");
        CBootloaderApp& app = theApp();
        app.m_ports.RemoveAll();
        app.m_osName.clear();
        app.m_workingPath[0] = '\0';
        // Only this case's files count: an installed program's machine-wide settings would
        // answer for the values a case leaves out on purpose.
        UseSettingsPlaces(
            SettingsPlaces{(dir_.path() / "config" / "Vardeno" / "registry.reg").string(),
                           {(dir_.path() / "machine" / "Vardeno" / "registry.reg").string()}});
    }

    ~StartupFlowTest() override {
        UseSettingsPlaces(std::nullopt);
        theApp().m_ports.RemoveAll();
        ::close(slaveFd_);
        ::close(master_);
    }

    static void WritePath(const std::string& path) {
        ASSERT_EQ(WriteSettingString(path.c_str(), product::kSettingsKey, "path"), 0);
    }
    static void WriteAlert(std::uint32_t value) {
        ASSERT_EQ(WriteSettingDword(value, product::kSettingsKey, "alert"), 0);
    }
    static std::optional<std::int32_t> Alert() {
        std::int32_t value = 0;
        if (ReadSettingDword(&value, product::kSettingsKey, "alert") != 0) return std::nullopt;
        return value;
    }
    static std::optional<std::string> Text(const char* name) {
        char text[kSettingTextBytes] = {};
        if (ReadSettingString(text, product::kSettingsKey, name) != 0) return std::nullopt;
        return std::string(text);
    }
    testsupport::TempDir dir_;
    testsupport::ScopedEnv config_;
    testsupport::ScopedEnv machine_;
    testsupport::ScopedEnv runtime_;
    int master_ = -1;
    int slaveFd_ = -1;
    FakePages pages_;
};

}  // namespace

TEST_F(StartupFlowTest, AFullRunWalksEveryPageAndSavesTheChoices) {
    WritePath("/opt/pelorant");
    WriteAlert(1);
    EXPECT_FALSE(theApp().InitInstance(pages_));

    EXPECT_EQ(pages_.shown, (Pages{"splash", "configuration", "alert", "detection", "main"}));
    EXPECT_TRUE(pages_.boxes.boxes.empty());
    EXPECT_STREQ(theApp().m_workingPath, "/opt/pelorant/");
    EXPECT_EQ(theApp().m_osName, "nonXP");
    EXPECT_GE(theApp().m_ports.Count(), 1u);
    EXPECT_EQ(Text("com"), "Linked port (COM7)");
    EXPECT_EQ(Text("baudrate"), "57600");
    EXPECT_EQ(Text("reset"), "dtr-inverted");
    EXPECT_EQ(Alert(), 1) << "the alert page was not ticked";
}

TEST_F(StartupFlowTest, ASecondInstanceIsTurnedAwayAndChangesNothing) {
    WritePath("/opt/pelorant");
    const std::string before = testsupport::ReadFile(CurrentSettingsPlaces().userFile);
    const auto first = SingleInstanceGuard::Acquire("PelorantAlreadyRunning");
    ASSERT_TRUE(first);

    theApp().InitInstance(pages_);
    EXPECT_TRUE(pages_.shown.empty());
    ASSERT_EQ(pages_.boxes.boxes.size(), 1u);
    EXPECT_EQ(pages_.boxes.boxes[0].text, kAnotherInstance);
    EXPECT_EQ(pages_.boxes.boxes[0].caption, "Pelorant");
    EXPECT_EQ(pages_.boxes.boxes[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(testsupport::ReadFile(CurrentSettingsPlaces().userFile), before);
}

TEST_F(StartupFlowTest, AMissingPathEndsBeforeTheSplash) {
    theApp().InitInstance(pages_);
    EXPECT_TRUE(pages_.shown.empty());
    ASSERT_EQ(pages_.boxes.boxes.size(), 1u);
    EXPECT_EQ(pages_.boxes.boxes[0].text, "Failed while initializing registry (working path)");
    EXPECT_EQ(pages_.boxes.boxes[0].icon, BoxIcon::Error);
}

TEST_F(StartupFlowTest, AFailedEnumerationShowsItsTextAndEnds) {
    WritePath("/opt/pelorant");
    const fs::path ports = dir_.path() / "config" / "lunvik" / "ports";
    fs::remove_all(ports);
    dir_.Write("config/lunvik/ports", "not a directory");

    theApp().InitInstance(pages_);
    EXPECT_EQ(pages_.shown, Pages{"splash"});
    ASSERT_EQ(pages_.boxes.boxes.size(), 1u);
    EXPECT_NE(pages_.boxes.boxes[0].text.find("port directory"), std::string::npos);
    EXPECT_EQ(pages_.boxes.boxes[0].icon, BoxIcon::Error);
}

TEST_F(StartupFlowTest, NoSerialPortEndsAfterTheSplash) {
    WritePath("/opt/pelorant");
    fs::remove(dir_.path() / "config" / "lunvik" / "ports" / "COM7");
    // A machine without serial hardware: empty sysfs and /dev trees.
    fs::create_directories(dir_.path() / "sys" / "class" / "tty");
    fs::create_directories(dir_.path() / "dev");
    theApp().m_portEnvironment = {(dir_.path() / "sys").string(), (dir_.path() / "dev").string(),
                                  ""};
    theApp().InitInstance(pages_);
    theApp().m_portEnvironment = {};
    EXPECT_EQ(pages_.shown, Pages{"splash"});
    ASSERT_EQ(pages_.boxes.boxes.size(), 1u);
    EXPECT_EQ(pages_.boxes.boxes[0].text,
              "No serial ports detected.\nThis software requires COM ports on your machine.");
    EXPECT_EQ(pages_.boxes.boxes[0].icon, BoxIcon::Error);
}

TEST_F(StartupFlowTest, CancellingPageOneRemembersTheAlertAndTheNextStartPassesIt) {
    WritePath("/opt/pelorant");
    pages_.configuration.confirmed = false;
    theApp().InitInstance(pages_);
    EXPECT_EQ(pages_.shown, (Pages{"splash", "configuration"}));
    EXPECT_EQ(Alert(), 1);
    EXPECT_FALSE(Text("com"));
    EXPECT_FALSE(Text("baudrate"));
    EXPECT_FALSE(Text("reset"));

    FakePages again;
    theApp().InitInstance(again);
    EXPECT_EQ(again.shown, (Pages{"splash", "configuration", "alert", "detection", "main"}));
}

TEST_F(StartupFlowTest, AMissingAlertStopsAfterPageOne) {
    WritePath("/opt/pelorant");
    theApp().InitInstance(pages_);
    EXPECT_EQ(pages_.shown, (Pages{"splash", "configuration"}));
    ASSERT_EQ(pages_.boxes.boxes.size(), 1u);
    EXPECT_EQ(pages_.boxes.boxes[0].text, "Failed while initializing registry");
    EXPECT_EQ(pages_.boxes.boxes[0].caption, "Pelorant");
    EXPECT_FALSE(Text("com"));
}

TEST_F(StartupFlowTest, TickingTheAlertSilencesItUntilAPageIsCancelled) {
    WritePath("/opt/pelorant");
    WriteAlert(1);
    pages_.dontRemember = true;
    theApp().InitInstance(pages_);
    EXPECT_EQ(Alert(), 0);

    FakePages quiet;
    theApp().InitInstance(quiet);
    EXPECT_EQ(quiet.shown, (Pages{"splash", "configuration", "detection", "main"}));

    FakePages failing;
    failing.detected = false;
    theApp().InitInstance(failing);
    EXPECT_EQ(failing.shown, (Pages{"splash", "configuration", "detection"}));
    EXPECT_EQ(Alert(), 1);
    EXPECT_EQ(Text("com"), "Linked port (COM7)") << "choices of page 1/3 stay saved";
    EXPECT_EQ(Text("baudrate"), "57600");
}
