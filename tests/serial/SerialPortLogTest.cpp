#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "serial/CSerialPort.h"

namespace {

std::string Logged(CSerialPort& port, std::string text) {
    std::FILE* stream = std::tmpfile();
    EXPECT_NE(stream, nullptr);
    port.logStream = stream;
    port.Log(text.data());
    const long size = std::ftell(stream);
    std::string contents(static_cast<std::size_t>(size), '\0');
    std::rewind(stream);
    EXPECT_EQ(std::fread(contents.data(), 1, contents.size(), stream), contents.size());
    std::fclose(stream);
    port.logStream = nullptr;
    return contents;
}

bool InRange(char c, char low, char high) {
    return c >= low && c <= high;
}

// "hh:mm:ss \t - \t <text>\n". Checked by hand: GCC 12 warns inside <regex>'s std::function
// under -fsanitize=address, which stops a sanitizer build with -Werror.
bool IsLogLine(const std::string& line, const std::string& text) {
    return line.size() > 8 && InRange(line[0], '0', '2') && InRange(line[1], '0', '9') &&
           line[2] == ':' && InRange(line[3], '0', '5') && InRange(line[4], '0', '9') &&
           line[5] == ':' && InRange(line[6], '0', '6') && InRange(line[7], '0', '9') &&
           line.substr(8) == " \t - \t " + text + "\n";
}

TEST(SerialPortLogTest, WritesTimeAndTextCutToTheBuffer) {
    CSerialPort port;
    EXPECT_TRUE(IsLogLine(Logged(port, "port opened"), "port opened"));
    // 259 characters and no terminating zero: the end of the line is cut off.
    const std::string cut = Logged(port, std::string(1000, 'z'));
    EXPECT_EQ(cut.size(), 259u);
    EXPECT_EQ(cut.back(), 'z');
}

TEST(SerialPortLogTest, WithoutAStreamNothingHappens) {
    CSerialPort port;
    char text[] = "nowhere to go";
    port.Log(text);
    port.Log(nullptr);
}

TEST(SerialPortLogTest, ErrorHookTakesAnyTextAndKeepsErrno) {
    CSerialPort port;
    port.portNumber = 4294967295UL;
    std::string longName(5000, 'n');
    errno = ENOENT;
    port.ProcessErrorMessage(longName.data());
    port.ProcessErrorMessage(nullptr);
    EXPECT_EQ(errno, ENOENT);
}

}  // namespace
