#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "app/Settings.h"
#include "tests/support/PrivateSettings.h"
#include "tests/support/TestSupport.h"

namespace {

// A key of the test's own in both hives, removed before and after.
class Win32SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveKeys(); }
    void TearDown() override { RemoveKeys(); }
    void RemoveKeys() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
    }
    // What an installation writes: the machine-wide default.
    static void WriteMachineText(const char* name, const std::string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
    static std::string ReadText(const char* name, int& result) {
        char buffer[kSettingTextBytes];
        buffer[0] = 'x';
        result = ReadSettingString(buffer, kKey, name);
        return buffer;
    }

    static constexpr const char* kKey = "SOFTWARE\\Vardeno\\PelorantTestSettings";
};

TEST_F(Win32SettingsTest, ValuesRoundTripThroughTheUsersKey) {
    struct Row {
        const char* name;
        std::string written;
        int expected;
    };
    const Row rows[] = {
        {"com", "Communications Port (COM1)", 0},
        {"baudrate", "115200", 0},
        {"empty", "", 0},
        {"longest", std::string(kSettingTextBytes - 1, 'p'), 0},
        {"too long", std::string(kSettingTextBytes, 'p'), -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(WriteSettingString(row.written.c_str(), kKey, row.name), 0);
        int result = 1;
        const std::string read = ReadText(row.name, result);
        EXPECT_EQ(result, row.expected);
        EXPECT_EQ(read, row.expected == 0 ? row.written : std::string());
    }
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(Win32SettingsTest, NumbersRoundTripAndOtherTypesDoNotRead) {
    std::int32_t value = 5;
    EXPECT_EQ(ReadSettingDword(&value, kKey, "alert"), -1);
    EXPECT_EQ(value, -1);
    ASSERT_EQ(WriteSettingDword(0, kKey, "alert"), 0);
    EXPECT_EQ(ReadSettingDword(&value, kKey, "alert"), 0);
    EXPECT_EQ(value, 0);
    ASSERT_EQ(WriteSettingDword(0xFFFFFFFFu, kKey, "alert"), 0);
    EXPECT_EQ(ReadSettingDword(&value, kKey, "alert"), 0);
    EXPECT_EQ(value, -1);

    ASSERT_EQ(WriteSettingString("1", kKey, "text"), 0);
    EXPECT_EQ(ReadSettingDword(&value, kKey, "text"), -1);
    int result = 0;
    EXPECT_EQ(ReadText("alert", result), "");
    EXPECT_EQ(result, -1);
}

TEST_F(Win32SettingsTest, NamesCompareExactlyCaseIncluded) {
    ASSERT_EQ(WriteSettingDword(1, kKey, "Alert"), 0);
    std::int32_t value = 0;
    EXPECT_EQ(ReadSettingDword(&value, kKey, "alert"), -1);
    EXPECT_EQ(ReadSettingDword(&value, kKey, "Alert"), 0);
    EXPECT_EQ(value, 1);
}

TEST_F(Win32SettingsTest, TheMachineDefaultServesUntilTheUserHasAValue) {
    WriteMachineText("path", "C:\\Program Files\\Pelorant\\share\\pelorant");
    int result = 1;
    EXPECT_EQ(ReadText("path", result), "C:\\Program Files\\Pelorant\\share\\pelorant");
    EXPECT_EQ(result, 0);
    ASSERT_EQ(WriteSettingString("D:\\boards", kKey, "path"), 0);
    EXPECT_EQ(ReadText("path", result), "D:\\boards");
    EXPECT_EQ(result, 0);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    EXPECT_EQ(ReadText("path", result), "C:\\Program Files\\Pelorant\\share\\pelorant");
}

// The suites that run the program's own code keep its settings to themselves: what the user's
// key held before is not read, and what they write is gone with them.
TEST_F(Win32SettingsTest, PrivateSettingsNeitherReadNorLeaveTheUsersValues) {
    ASSERT_EQ(WriteSettingString("C:\\stale", kKey, "path"), 0);
    int result = 1;
    {
        testsupport::TempDir dir;
        testsupport::PrivateSettings settings(dir.path());
        EXPECT_EQ(ReadText("path", result), "");
        EXPECT_EQ(result, -1);
        ASSERT_EQ(WriteSettingString("C:\\fresh", kKey, "path"), 0);
        ASSERT_EQ(WriteSettingDword(7, kKey, "alert"), 0);
        EXPECT_EQ(ReadText("path", result), "C:\\fresh");
    }
    EXPECT_EQ(ReadText("path", result), "C:\\stale");
    std::int32_t alert = 0;
    EXPECT_EQ(ReadSettingDword(&alert, kKey, "alert"), -1);
}

}  // namespace
