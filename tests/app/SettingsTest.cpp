#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

#include "app/Settings.h"
#include "app/SettingsLocation.h"
#include "common/Product.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;
using testsupport::ReadFile;

namespace {

const char* const kKey = product::kSettingsKey;
const std::string kHeader =
    "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vardeno\\dsPicBootloader]\n";

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest()
        : userEnv_("XDG_CONFIG_HOME", (root_.path() / "user").string()),
          machineEnv_("XDG_CONFIG_DIRS", (root_.path() / "machine").string() + ":" +
                                             (root_.path() / "site").string()) {}

    fs::path UserFile() const { return root_.path() / "user/Vardeno/registry.reg"; }
    void WriteUser(const std::string& text) const {
        root_.Write("user/Vardeno/registry.reg", text);
    }
    void WriteMachine(const std::string& text, const std::string& dir = "machine") const {
        root_.Write(dir + "/Vardeno/registry.reg", text);
    }
    std::string ReadString(const char* name, int* result) const {
        char buffer[kSettingTextBytes];
        std::memset(buffer, 'x', sizeof buffer);
        *result = ReadSettingString(buffer, kKey, name);
        return std::string(buffer, strnlen(buffer, sizeof buffer));
    }

    testsupport::TempDir root_;
    testsupport::ScopedEnv userEnv_;
    testsupport::ScopedEnv machineEnv_;
};

}  // namespace

TEST_F(SettingsTest, WritesCreateTheKeyAndReadBack) {
    ASSERT_EQ(WriteSettingString("COM1 (x)", kKey, "com"), 0);
    ASSERT_EQ(WriteSettingDword(1, kKey, "alert"), 0);
    ASSERT_EQ(WriteSettingDword(0xFFFFFFFEu, kKey, "big"), 0);

    EXPECT_EQ(ReadFile(UserFile()), kHeader +
                                        "\"com\"=\"COM1 (x)\"\n\"alert\"=dword:00000001\n"
                                        "\"big\"=dword:fffffffe\n");
    int result = -1;
    EXPECT_EQ(ReadString("com", &result), "COM1 (x)");
    EXPECT_EQ(result, 0);
    std::int32_t number = 0;
    EXPECT_EQ(ReadSettingDword(&number, kKey, "alert"), 0);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(ReadSettingDword(&number, kKey, "big"), 0);
    EXPECT_EQ(number, -2);
    EXPECT_EQ(fs::status(UserFile().parent_path()).permissions() & fs::perms::all,
              fs::perms::owner_all);
}

TEST_F(SettingsTest, NamesAreExactAndFailuresResetTheOutput) {
    ASSERT_EQ(WriteSettingDword(0, kKey, "alert"), 0);
    ASSERT_EQ(WriteSettingString("9600", kKey, "baudrate"), 0);
    std::int32_t number = 7;
    EXPECT_EQ(ReadSettingDword(&number, kKey, "Alert"), -1);
    EXPECT_EQ(number, -1);
    int result = 0;
    EXPECT_EQ(ReadString("Baudrate", &result), "");
    EXPECT_EQ(result, -1);
    // A value of the other type does not satisfy the read either.
    EXPECT_EQ(ReadString("alert", &result), "");
    EXPECT_EQ(result, -1);
    number = 7;
    EXPECT_EQ(ReadSettingDword(&number, kKey, "baudrate"), -1);
    EXPECT_EQ(number, -1);
    // Another key holds other values.
    EXPECT_EQ(ReadSettingDword(&number, "SOFTWARE\\Other", "alert"), -1);
    EXPECT_EQ(ReadSettingString(nullptr, kKey, "com"), -1);
    EXPECT_EQ(ReadSettingDword(&number, kKey, nullptr), -1);
    EXPECT_EQ(WriteSettingString(nullptr, kKey, "com"), -1);
}

TEST_F(SettingsTest, StringsUpTo259CharactersAndTheEmptyTextReadBack) {
    const std::string longest(259, 'a');
    const std::string tooLong(260, 'b');
    ASSERT_EQ(WriteSettingString(longest.c_str(), kKey, "path"), 0);
    ASSERT_EQ(WriteSettingString(tooLong.c_str(), kKey, "com"), 0);
    ASSERT_EQ(WriteSettingString("", kKey, "baudrate"), 0);

    int result = -1;
    EXPECT_EQ(ReadString("path", &result), longest);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadString("com", &result), "");
    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadString("baudrate", &result), "");
    EXPECT_EQ(result, 0);
}

TEST_F(SettingsTest, EscapesAndForeignLinesSurviveARewrite) {
    WriteUser(
        "REGEDIT4\r\n\r\n; kept\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\"x\"=\"1\"\r\n\r\n"
        "[hkey_local_machine\\software\\vardeno\\dspicbootloader]\r\n"
        "\"blob\"=hex:00,01,\\\r\n  02,03\r\n@=\"default\"\r\n");
    ASSERT_EQ(WriteSettingString("C:\\dir \"q\"", kKey, "path"), 0);
    ASSERT_EQ(WriteSettingString("replaced", kKey, ""), 0);

    EXPECT_EQ(
        ReadFile(UserFile()),
        "REGEDIT4\r\n\r\n; kept\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\"x\"=\"1\"\r\n\r\n"
        "[hkey_local_machine\\software\\vardeno\\dspicbootloader]\r\n"
        "\"blob\"=hex:00,01,\\\r\n  02,03\r\n@=\"replaced\"\r\n"
        "\"path\"=\"C:\\\\dir \\\"q\\\"\"\r\n");
    int result = -1;
    EXPECT_EQ(ReadString("path", &result), "C:\\dir \"q\"");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadString("blob", &result), "");
    EXPECT_EQ(result, -1);
}

TEST_F(SettingsTest, ReadsFallBackPerValueToTheMachineWideFiles) {
    WriteMachine(kHeader + "\"path\"=\"/usr/share/pelorant\"\n\"alert\"=dword:00000001\n");
    WriteMachine(kHeader + "\"com\"=\"site\"\n\"path\"=\"/site\"\n", "site");
    int result = -1;
    EXPECT_EQ(ReadString("path", &result), "/usr/share/pelorant");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadString("com", &result), "site");

    ASSERT_EQ(WriteSettingDword(0, kKey, "alert"), 0);
    std::int32_t alert = -1;
    EXPECT_EQ(ReadSettingDword(&alert, kKey, "alert"), 0);
    EXPECT_EQ(alert, 0);
    EXPECT_EQ(ReadString("path", &result), "/usr/share/pelorant");
    EXPECT_EQ(ReadFile(UserFile()), kHeader + "\"alert\"=dword:00000000\n");
}

TEST_F(SettingsTest, InstalledMachineWideFileLetsTheProgramStart) {
    WriteMachine(ReadFile(PELORANT_BINARY_DIR "/app/registry.reg"));
    int result = -1;
    const std::string path = ReadString("path", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(fs::path(path).filename(), "pelorant");
    std::int32_t alert = 0;
    EXPECT_EQ(ReadSettingDword(&alert, kKey, "alert"), 0);
    EXPECT_EQ(alert, 1);
}

TEST_F(SettingsTest, WriteReplacesTheFileAsAWhole) {
    WriteUser(kHeader + "\"com\"=\"old\"\n");
    chmod(UserFile().c_str(), 0640);
    std::ifstream before(UserFile(), std::ios::binary);  // sees the file it opened

    ASSERT_EQ(WriteSettingString("new", kKey, "com"), 0);

    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(before), {}),
              kHeader + "\"com\"=\"old\"\n");
    EXPECT_EQ(ReadFile(UserFile()), kHeader + "\"com\"=\"new\"\n");
    EXPECT_EQ(fs::status(UserFile()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(UserFile().parent_path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"registry.reg"});
}

TEST_F(SettingsTest, LinkedSettingsFileIsReplacedWhereItLives) {
    const fs::path real = root_.Write("dotfiles/registry.reg", kHeader);
    fs::create_directories(UserFile().parent_path());
    fs::create_symlink(real, UserFile());

    ASSERT_EQ(WriteSettingDword(1, kKey, "alert"), 0);

    EXPECT_TRUE(fs::is_symlink(UserFile()));
    EXPECT_EQ(ReadFile(real), kHeader + "\"alert\"=dword:00000001\n");
}

TEST_F(SettingsTest, DanglingLinkIsWrittenThroughNotReplaced) {
    fs::create_directories(root_.path() / "dotfiles");
    fs::create_directories(UserFile().parent_path());
    fs::create_symlink("../../dotfiles/registry.reg", UserFile());

    ASSERT_EQ(WriteSettingDword(1, kKey, "alert"), 0);

    EXPECT_TRUE(fs::is_symlink(UserFile()));
    EXPECT_EQ(ReadFile(root_.path() / "dotfiles/registry.reg"),
              kHeader + "\"alert\"=dword:00000001\n");
}

// A write changes its own line and nothing else: every other line keeps its bytes, and a
// backslash at a line's end joins the next line only inside hex data.
TEST_F(SettingsTest, AWriteKeepsTheMeaningAndBytesOfEveryOtherLine) {
    const std::string other = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n";
    const struct {
        const char* name;
        std::string before;
        std::string after;  // after writing "com" = "mine"
    } cases[] = {
        {"a value ending in a backslash before another key",
         kHeader + "\"path\"=\"/p\"\\\n" + other + "\"com\"=\"other\"\n",
         kHeader + "\"path\"=\"/p\"\\\n\"com\"=\"mine\"\n" + other + "\"com\"=\"other\"\n"},
        {"an unreadable value ending in a backslash",
         kHeader + "\"x\"=dword:1\\\n\"com\"=\"old\"\n",
         kHeader + "\"x\"=dword:1\\\n\"com\"=\"mine\"\n"},
        {"hex data over two lines", kHeader + "\"blob\"=hex(2):41,\\\n  00\n\"com\"=\"old\"\n",
         kHeader + "\"blob\"=hex(2):41,\\\n  00\n\"com\"=\"mine\"\n"},
        {"hex data whose continuation looks like a value",
         kHeader + "\"blob\"=hex:41,\\\n\"com\"=\"old\"\n",
         kHeader + "\"blob\"=hex:41,\\\n\"com\"=\"old\"\n\"com\"=\"mine\"\n"},
        {"CRLF lines and no end on the last line",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vardeno\\dsPicBootloader]\r\n"
         "\"path\"=\"/p\"",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vardeno\\dsPicBootloader]\r\n"
         "\"path\"=\"/p\"\r\n\"com\"=\"mine\"\r\n"},
        {"the replaced line keeps its own end", kHeader + "\"com\"=\"old\"\r\n\"path\"=\"/p\"",
         kHeader + "\"com\"=\"mine\"\r\n\"path\"=\"/p\""},
        {"byte order mark", "\xEF\xBB\xBF" + kHeader,
         "\xEF\xBB\xBF" + kHeader + "\"com\"=\"mine\"\n"},
        {"a lone CR at the end is half of a CRLF", "REGEDIT4\r\n\r",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vardeno\\dsPicBootloader]\r\n"
         "\"com\"=\"mine\"\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteUser(c.before);
        ASSERT_EQ(WriteSettingString("mine", kKey, "com"), 0);
        EXPECT_EQ(ReadFile(UserFile()), c.after);
    }
}

TEST_F(SettingsTest, ChosenPlacesReplaceTheRealOnes) {
    const fs::path user = root_.path() / "chosen/user.reg";
    const fs::path machine = root_.Write("chosen/machine.reg", kHeader + "\"path\"=\"/m\"\n");
    WriteMachine(kHeader + "\"path\"=\"/real\"\n");
    UseSettingsPlaces(SettingsPlaces{user.string(), {machine.string()}});
    int result = -1;
    EXPECT_EQ(ReadString("path", &result), "/m");
    EXPECT_EQ(WriteSettingDword(1, kKey, "alert"), 0);
    EXPECT_TRUE(fs::exists(user));
    UseSettingsPlaces(std::nullopt);
    EXPECT_EQ(ReadString("path", &result), "/real");
}

TEST_F(SettingsTest, DamagedValuesFailAndAWriteKeepsTheRest) {
    WriteMachine(kHeader + "\"alert\"=dword:00000001\n");
    WriteUser(kHeader +
              "\"alert\"=dword:zz\n\"com\"=\"unterminated\n\"path\"=\"/p\"\n"
              "garbage line\n\"baudrate\"=\"9600\"\n");

    std::int32_t alert = 0;
    EXPECT_EQ(ReadSettingDword(&alert, kKey, "alert"), -1) << "the user's damaged value counts";
    EXPECT_EQ(alert, -1);
    int result = -1;
    EXPECT_EQ(ReadString("com", &result), "");
    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadString("path", &result), "/p");
    EXPECT_EQ(result, 0);

    ASSERT_EQ(WriteSettingString("19200", kKey, "baudrate"), 0);
    ASSERT_EQ(WriteSettingDword(1, kKey, "alert"), 0);
    EXPECT_EQ(ReadFile(UserFile()), kHeader +
                                        "\"alert\"=dword:00000001\n\"com\"=\"unterminated\n"
                                        "\"path\"=\"/p\"\ngarbage line\n"
                                        "\"baudrate\"=\"19200\"\n");
}

TEST_F(SettingsTest, FileThatIsNoSettingsFileFailsReadsAndIsNeverOverwritten) {
    WriteMachine(kHeader + "\"path\"=\"/usr/share/pelorant\"\n");
    const char raw[] = "\x00\x01 not a settings file\n";
    const std::string garbage(raw, sizeof raw - 1);
    WriteUser(garbage);

    int result = 0;
    EXPECT_EQ(ReadString("path", &result), "");
    EXPECT_EQ(result, -1);
    EXPECT_EQ(WriteSettingDword(1, kKey, "alert"), -1);
    EXPECT_EQ(ReadFile(UserFile()), garbage);
}

TEST_F(SettingsTest, TextsWithLineBreaksAreRefused) {
    EXPECT_EQ(WriteSettingString("two\nlines", kKey, "com"), -1);
    EXPECT_EQ(WriteSettingString("x", kKey, "na\rme"), -1);
    EXPECT_FALSE(fs::exists(UserFile()));
}

// Whatever the user's settings file is, a read says what is wrong with it, and a write never
// replaces what the user may not write, nor makes another file of it.
TEST_F(SettingsTest, UnusableFilesAreNamedAndWritesKeepTheFileWhatItIs) {
    const std::string file = UserFile().string();
    const std::string tooLong(5000, 'p');
    const struct {
        const char* name;
        std::function<bool()> prepare;  // false: cannot be set up by this user
        std::string problem;            // of reading "path"; FILE stands for the file's path
        int write;                      // of writing "alert"
        std::function<void()> check;
    } cases[] = {
        {"missing", [] { return true; }, "the setting \"path\" is missing", 0, nullptr},
        {"a directory", [this] { return fs::create_directories(UserFile()); },
         "the settings file FILE is a directory", -1,
         [this] { EXPECT_TRUE(fs::is_directory(UserFile())); }},
        {"a FIFO",
         [this] {
             fs::create_directories(UserFile().parent_path());
             return mkfifo(UserFile().c_str(), 0600) == 0;
         },
         "the settings file FILE is a FIFO, not a file", -1,
         [this] { EXPECT_TRUE(fs::is_fifo(UserFile())); }},
        {"unreadable",
         [this] {
             fs::create_directories(UserFile().parent_path());
             fs::create_symlink("registry.reg", UserFile());
             return true;
         },
         "the settings file FILE cannot be read: Too many levels of symbolic links", -1, nullptr},
        {"larger than 1 MiB",
         [this] {
             WriteUser(kHeader + std::string(2 << 20, '\n'));
             return true;
         },
         "the settings file FILE is larger than 1 MiB, more than a settings file holds", -1,
         [this] { EXPECT_EQ(fs::file_size(UserFile()), kHeader.size() + (2 << 20)); }},
        {"1 MiB of empty lines",
         [this] {
             const std::string value = "\"path\"=\"/p\"\n";
             WriteUser(kHeader + std::string((1 << 20) - kHeader.size() - value.size(), '\n') +
                       value);
             return true;
         },
         "", 0, nullptr},
        {"a path of 5000 characters",
         [this, &tooLong] {
             WriteUser(kHeader + "\"path\"=\"" + tooLong + "\"\n");
             return true;
         },
         "the setting \"path\" in FILE is 5000 characters long; a setting holds at most 259", 0,
         nullptr},
        {"read-only",
         [this] {
             WriteUser(kHeader + "\"path\"=\"/p\"\n");
             return chmod(UserFile().c_str(), 0444) == 0;
         },
         "", -1,
         [this] {
             EXPECT_EQ(ReadFile(UserFile()), kHeader + "\"path\"=\"/p\"\n");
             EXPECT_EQ(fs::status(UserFile()).permissions() & fs::perms::all,
                       fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         }},
        {"owned by another user",
         [this] {
             WriteUser(kHeader);
             return chmod(UserFile().c_str(), 0666) == 0 &&
                    chown(UserFile().c_str(), 65534, 65534) == 0;
         },
         "the setting \"path\" is missing", 0,
         [this] {
             struct stat info {};
             ASSERT_EQ(stat(UserFile().c_str(), &info), 0);
             EXPECT_EQ(info.st_uid, 65534u);
             EXPECT_EQ(info.st_gid, 65534u);
             EXPECT_EQ(info.st_mode & 07777, 0666u);
         }},
        {"with a second name",
         [this] {
             WriteUser(kHeader);
             fs::create_hard_link(UserFile(), root_.path() / "second.reg");
             return true;
         },
         "the setting \"path\" is missing", 0,
         [this] {
             EXPECT_EQ(fs::hard_link_count(UserFile()), 2u);
             EXPECT_EQ(ReadFile(root_.path() / "second.reg"),
                       kHeader + "\"alert\"=dword:00000001\n");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root_.path());
        fs::create_directories(root_.path());
        if (!c.prepare()) {
            std::cout << "[ SKIPPED  ] " << c.name << ": this user cannot set it up\n";
            continue;
        }
        std::string problem = c.problem;
        if (const auto at = problem.find("FILE"); at != std::string::npos) {
            problem.replace(at, 4, file);
        }
        EXPECT_EQ(SettingStringProblem(kKey, "path"), problem);
        int result = -1;
        const std::string path = ReadString("path", &result);
        EXPECT_EQ(result, problem.empty() ? 0 : -1);
        EXPECT_EQ(path, problem.empty() ? "/p" : "");
        EXPECT_EQ(WriteSettingDword(1, kKey, "alert"), c.write);
        if (c.check) c.check();
    }
}
