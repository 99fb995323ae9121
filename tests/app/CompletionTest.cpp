#include <gtest/gtest.h>

#include "app/ComPorts.h"

namespace {

ComPortEntry Complete(const std::string& portName, const std::string& friendlyName,
                      const std::string& description) {
    ComPortList list;
    list.Append(ComPortEntry{"/dev/x", portName, friendlyName, 0, description});
    CompleteComPortNames(list);
    return list.At(0);
}

}  // namespace

TEST(ComPortCompletionTest, DescriptionIsTheFriendlyNameWithoutItsClosingGroup) {
    EXPECT_EQ(Complete("COM1", "Communications Port (COM1)", "").portDescription,
              "Communications Port");
    // The first closing parenthesis is not the last character: the text stays whole.
    EXPECT_EQ(Complete("COM2", "Port (A) (COM2)", "").portDescription, "Port (A) (COM2)");
    EXPECT_EQ(Complete("COM3", "Port (COM3) x", "").portDescription, "Port (COM3) x");
    // A text that begins with the space and the parenthesis is not cut to nothing.
    EXPECT_EQ(Complete("COM4", " (COM4)", "").portDescription, " (COM4)");
    EXPECT_EQ(Complete("COM5", "Port(COM5)", "").portDescription, "Port(COM5)");
}

TEST(ComPortCompletionTest, EmptyNamesFallBackAndGivenOnesStay) {
    const ComPortEntry bare = Complete("COM9", "", "");
    EXPECT_EQ(bare.friendlyName, "COM9");
    EXPECT_EQ(bare.portDescription, "COM9");

    const ComPortEntry named = Complete("COM1", "Modem (COM1)", "Own text (x)");
    EXPECT_EQ(named.friendlyName, "Modem (COM1)");
    EXPECT_EQ(named.portDescription, "Own text (x)");
}
