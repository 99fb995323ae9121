#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ComPorts.h"
#include "tests/app/FakeMachine.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const std::string kFtdiById = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

FakeMachine::UsbStrings Ftdi() {
    FakeMachine::UsbStrings strings;
    strings.manufacturer = "FTDI";
    strings.product = "FT232R USB UART";
    return strings;
}

ComPortList Enumerate(const FakeMachine& machine) {
    ComPortList list;
    const std::optional<std::string> failure = EnumerateComPorts(list, machine.Environment());
    EXPECT_FALSE(failure.has_value()) << *failure;
    return list;
}

std::vector<std::string> PortNames(const ComPortList& list) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.Count(); ++i) names.push_back(list.At(i).portName);
    return names;
}

const ComPortEntry* Find(const ComPortList& list, const std::string& portName) {
    for (std::size_t i = 0; i < list.Count(); ++i) {
        if (list.At(i).portName == portName) return &list.At(i);
    }
    return nullptr;
}

// A pseudo-terminal standing in for a virtual board.
class Pty {
public:
    Pty() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
            throw std::runtime_error("openpty failed");
        }
        path_ = name;
    }
    ~Pty() {
        close(master_);
        close(slave_);
    }
    const std::string& path() const { return path_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace

TEST(ComPortListTest, IndexOutsideTheListIsAnInvalidArgument) {
    ComPortList list;
    EXPECT_THROW(list.At(0), std::invalid_argument);
    list.Append(ComPortEntry{"/dev/ttyS0", "COM1", "", 0, ""});
    EXPECT_NO_THROW(list.Replace(0, ComPortEntry{"/dev/ttyS1", "COM2", "", 0, ""}));
    EXPECT_EQ(list.At(0).portName, "COM2");
    EXPECT_THROW(list.Replace(1, ComPortEntry{}), std::invalid_argument);
    list.RemoveAll();
    EXPECT_EQ(list.Count(), 0u);
}

TEST(ComPortEnumerationTest, UsbAdapterIsNamedFromItsStringsAndRecordedByItsById) {
    FakeMachine machine;
    machine.PlugUsb("ttyUSB0", 2, Ftdi(), kFtdiById);

    const ComPortList list = Enumerate(machine);

    ASSERT_EQ(list.Count(), 1u);
    const ComPortEntry& entry = list.At(0);
    EXPECT_EQ(entry.portName, "COM33");
    EXPECT_EQ(entry.devicePath, machine.Dev() + "/ttyUSB0");
    EXPECT_EQ(entry.friendlyName, "FT232R USB UART (COM33)");
    EXPECT_EQ(entry.portDescription, "FT232R USB UART");
    EXPECT_EQ(entry.isUsbDevice, 1);
    EXPECT_EQ(fs::read_symlink(machine.Ports() + "/COM33").string(),
              machine.Dev() + "/serial/by-id/" + kFtdiById);
    EXPECT_EQ(fs::status(machine.Ports()).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(ComPortEnumerationTest, UsbAdaptersWithoutStringsGetGenericNamesAndAcmHasNoById) {
    FakeMachine machine;
    FakeMachine::UsbStrings bare;
    FakeMachine::UsbStrings makerOnly;
    makerOnly.manufacturer = "Prolific";
    machine.PlugUsb("ttyUSB0", 1, bare, "usb-0403_6001-if00-port0");
    machine.PlugUsb("ttyUSB1", 2, makerOnly, "usb-Prolific-if00-port0");
    machine.PlugUsb("ttyACM0", 3, bare, "");

    const ComPortList list = Enumerate(machine);

    // Natural name order decides the first numbers: ttyACM0, ttyUSB0, ttyUSB1.
    ASSERT_EQ(PortNames(list), (std::vector<std::string>{"COM33", "COM34", "COM35"}));
    EXPECT_EQ(list.At(0).portDescription, "USB serial port 0403:6001");
    EXPECT_EQ(list.At(1).portDescription, "USB serial port 0403:6001");
    EXPECT_EQ(list.At(2).portDescription, "Prolific USB serial port");
    EXPECT_EQ(list.At(0).isUsbDevice, 1);
    EXPECT_EQ(fs::read_symlink(machine.Ports() + "/COM33").string(), machine.Dev() + "/ttyACM0");
}

TEST(ComPortEnumerationTest, OnBoardPortsAreListedOnlyWhenTheyExist) {
    FakeMachine machine;
    machine.AddOnBoard("ttyS0", 4);
    fs::permissions(machine.Dev() + "/ttyS0", fs::perms::none);  // listed even if not ours
    machine.AddOnBoard("ttyS1", 0);  // kept by the kernel with no UART behind it
    machine.AddOnBoard("ttyS3", 4);
    fs::remove(machine.Dev() + "/ttyS3");  // no node: nothing could open it
    machine.AddVirtualTerminal("tty1");

    const ComPortList list = Enumerate(machine);

    ASSERT_EQ(PortNames(list), std::vector<std::string>{"COM1"});
    EXPECT_EQ(list.At(0).friendlyName, "Serial port (COM1)");
    EXPECT_EQ(list.At(0).portDescription, "Serial port");
    EXPECT_EQ(list.At(0).isUsbDevice, 0);
    EXPECT_FALSE(fs::exists(machine.Ports())) << "ttyS ports need no link";
}

TEST(ComPortEnumerationTest, NumbersSurviveRestartsAndReplugging) {
    FakeMachine machine;
    FakeMachine::UsbStrings other = Ftdi();
    other.product = "CP2102 USB to UART";
    const std::string otherById = "usb-Silicon_Labs_CP2102_0001-if00-port0";
    machine.PlugUsb("ttyUSB0", 1, Ftdi(), kFtdiById);
    machine.PlugUsb("ttyUSB1", 2, other, otherById);

    const ComPortList first = Enumerate(machine);
    const ComPortList second = Enumerate(machine);
    ASSERT_EQ(PortNames(first), (std::vector<std::string>{"COM33", "COM34"}));
    EXPECT_EQ(PortNames(second), PortNames(first));
    EXPECT_EQ(second.At(0).friendlyName, first.At(0).friendlyName);

    // Unplug the FTDI adapter: its number stays reserved for it.
    machine.Unplug("ttyUSB0", 1, kFtdiById);
    FakeMachine::UsbStrings third = Ftdi();
    third.product = "USB2.0-Serial";
    machine.PlugUsb("ttyUSB2", 3, third, "usb-1a86_USB2.0-Serial-if00-port0");
    const ComPortList meanwhile = Enumerate(machine);
    ASSERT_EQ(PortNames(meanwhile), (std::vector<std::string>{"COM34", "COM35"}));
    EXPECT_EQ(meanwhile.At(0).portDescription, "CP2102 USB to UART");

    // Plugged back into another socket it gets another kernel name, and its old number.
    machine.PlugUsb("ttyUSB3", 4, Ftdi(), kFtdiById);
    const ComPortList replugged = Enumerate(machine);
    ASSERT_EQ(PortNames(replugged), (std::vector<std::string>{"COM33", "COM34", "COM35"}));
    EXPECT_EQ(replugged.At(0).devicePath, machine.Dev() + "/ttyUSB3");
    EXPECT_EQ(replugged.At(0).portDescription, "FT232R USB UART");
}

// Page 1/3 preselects the port whose friendly name the settings remember, so the name must
// not change when the adapter comes back under another kernel name.
TEST(ComPortEnumerationTest, FriendlyNameNamesTheAdapterAndSurvivesReplugging) {
    struct Row {
        const char* what;
        std::optional<std::string> product;
        std::optional<std::string> serial;
        std::string byId;
        std::string expected;
    };
    const Row rows[] = {
        {"product and serial", "FT232R USB UART", "A50285BI", kFtdiById,
         "FT232R USB UART A50285BI (COM33)"},
        {"product only", "CP2102 USB to UART", std::nullopt, "usb-Silicon_Labs_CP2102-if00",
         "CP2102 USB to UART (COM33)"},
        {"serial only", std::nullopt, "0001", "usb-0403_6001_0001-if00-port0",
         "FTDI USB serial port 0001 (COM33)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeMachine machine;
        FakeMachine::UsbStrings strings;
        strings.manufacturer = "FTDI";
        strings.product = row.product;
        strings.serial = row.serial;
        machine.PlugUsb("ttyUSB0", 1, strings, row.byId);
        const ComPortList before = Enumerate(machine);

        machine.Unplug("ttyUSB0", 1, row.byId);
        machine.PlugUsb("ttyUSB1", 2, strings, row.byId);
        const ComPortList after = Enumerate(machine);

        ASSERT_EQ(before.Count(), 1u);
        ASSERT_EQ(after.Count(), 1u);
        EXPECT_EQ(before.At(0).friendlyName, row.expected);
        EXPECT_EQ(after.At(0).friendlyName, row.expected);
        EXPECT_EQ(after.At(0).devicePath, machine.Dev() + "/ttyUSB1");
    }
}

// Scripts tell adapters apart by what they say of themselves (ports --json).
TEST(ComPortEnumerationTest, AUsbAdapterKeepsItsIdsAndSerialNumber) {
    struct Row {
        const char* what;
        std::optional<std::string> serial;
        std::string vendorId;
        std::string productId;
    };
    const Row rows[] = {
        {"with a serial number", "A50285BI", "0403", "6001"},
        {"without one", std::nullopt, "10c4", "ea60"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeMachine machine;
        FakeMachine::UsbStrings strings = Ftdi();
        strings.serial = row.serial;
        strings.vendorId = row.vendorId;
        strings.productId = row.productId;
        machine.PlugUsb("ttyUSB0", 1, strings, kFtdiById);
        machine.AddOnBoard("ttyS0", 4);
        const ComPortList list = Enumerate(machine);
        const ComPortEntry* usb = Find(list, "COM33");
        const ComPortEntry* onBoard = Find(list, "COM1");
        ASSERT_NE(usb, nullptr);
        ASSERT_NE(onBoard, nullptr);
        EXPECT_EQ(usb->usbVendorId, row.vendorId);
        EXPECT_EQ(usb->usbProductId, row.productId);
        EXPECT_EQ(usb->usbSerialNumber, row.serial.value_or(""));
        EXPECT_EQ(onBoard->usbVendorId + onBoard->usbProductId + onBoard->usbSerialNumber, "");
    }
}

TEST(ComPortEnumerationTest, PortDirectoryLinksAreListedAndCompleted) {
    FakeMachine machine;
    Pty board;
    machine.AddOnBoard("ttyS0", 4);
    machine.PlugUsb("ttyUSB0", 1, Ftdi(), kFtdiById);
    fs::create_directories(machine.Ports());
    fs::create_symlink(board.path(), machine.Ports() + "/COM100");
    fs::create_symlink(machine.Dev() + "/gone", machine.Ports() + "/COM101");
    fs::create_symlink(board.path(), machine.Ports() + "/COM007");  // not a port name
    fs::create_symlink(machine.Dev() + "/ttyUSB0", machine.Ports() + "/COM7");

    const ComPortList list = Enumerate(machine);

    // The user's own link COM7 already opens the adapter, so it gets no number of its own.
    ASSERT_EQ(PortNames(list), (std::vector<std::string>{"COM1", "COM7", "COM100"}));
    EXPECT_EQ(list.At(1).portDescription, "FT232R USB UART");
    EXPECT_EQ(list.At(1).isUsbDevice, 1);
    const ComPortEntry& linked = list.At(2);
    const std::string target = fs::canonical(board.path()).string();
    EXPECT_EQ(linked.devicePath, target);
    EXPECT_EQ(linked.friendlyName, "Linked port (COM100)");
    EXPECT_EQ(linked.portDescription, "Linked port " + target);
    EXPECT_EQ(linked.isUsbDevice, 0);
}

// What the "com" setting remembers: a virtual board that comes back on another
// pseudo-terminal under its number keeps its name.
TEST(ComPortEnumerationTest, ALinkKeepsItsNameWhenItLeadsToAnotherTerminal) {
    FakeMachine machine;
    fs::create_directories(machine.Ports());
    const Pty runs[2];
    std::vector<std::string> names;
    for (const Pty& board : runs) {
        fs::remove(machine.Ports() + "/COM100");
        fs::create_symlink(board.path(), machine.Ports() + "/COM100");
        const ComPortList list = Enumerate(machine);
        ASSERT_EQ(list.Count(), 1u);
        EXPECT_EQ(list.At(0).devicePath, fs::canonical(board.path()).string());
        names.push_back(list.At(0).friendlyName);
    }
    EXPECT_EQ(names[0], "Linked port (COM100)");
    EXPECT_EQ(names[1], names[0]);
}

TEST(ComPortEnumerationTest, ALinkNamedLikeAnOnBoardPortTakesItsNumber) {
    FakeMachine machine;
    Pty board;
    machine.AddOnBoard("ttyS0", 4);
    fs::create_directories(machine.Ports());
    fs::create_symlink(board.path(), machine.Ports() + "/COM1");

    const ComPortList list = Enumerate(machine);

    // COM1 opens the link, so ttyS0 is reached through a number of its own.
    ASSERT_EQ(PortNames(list), (std::vector<std::string>{"COM1", "COM33"}));
    EXPECT_EQ(list.At(0).devicePath, fs::canonical(board.path()).string());
    EXPECT_EQ(list.At(1).devicePath, machine.Dev() + "/ttyS0");
    EXPECT_EQ(fs::read_symlink(machine.Ports() + "/COM33").string(), machine.Dev() + "/ttyS0");
}

TEST(ComPortEnumerationTest, FailureToRecordANumberIsReportedAfterTheRest) {
    FakeMachine machine;
    machine.AddOnBoard("ttyS0", 4);
    machine.PlugUsb("ttyUSB0", 1, Ftdi(), kFtdiById);
    testsupport::TempDir other;
    PortEnvironment environment = machine.Environment();
    environment.portDirectory = other.Write("file", "").string() + "/ports";  // under a file

    ComPortList list;
    const std::optional<std::string> failure = EnumerateComPorts(list, environment);

    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->rfind("Could not create the port directory " + environment.portDirectory, 0),
              0u)
        << *failure;
    ASSERT_EQ(PortNames(list), std::vector<std::string>{"COM1"});
}

TEST(ComPortEnumerationTest, MissingTreesGiveAnEmptyList) {
    testsupport::TempDir empty;
    PortEnvironment environment;
    environment.sysfsRoot = (empty.path() / "sys").string();
    environment.devRoot = (empty.path() / "dev").string();
    environment.portDirectory = (empty.path() / "ports").string();
    ComPortList list;
    list.Append(ComPortEntry{});

    EXPECT_FALSE(EnumerateComPorts(list, environment).has_value());
    EXPECT_EQ(list.Count(), 0u);
}

TEST(ComPortEnumerationTest, DefaultEnvironmentUsesTheSerialLibrarysPortDirectory) {
    testsupport::TempDir config;
    testsupport::ScopedEnv home("XDG_CONFIG_HOME", config.path().string());
    Pty board;
    fs::create_directories(config.path() / "lunvik/ports");
    fs::create_symlink(board.path(), config.path() / "lunvik/ports/COM250");

    ComPortList list;
    ASSERT_FALSE(EnumerateComPorts(list).has_value());

    EXPECT_NE(Find(list, "COM250"), nullptr);
}
