#include "link/PortMap.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

// For failure messages; found by argument lookup, so beside the type.
static void PrintTo(const DeviceKeys& keys, std::ostream* out)
{
    *out << "{by-id " << keys.byId << ", serial " << keys.usbSerial << ", port " << keys.usbPort
         << ", path " << keys.path << "}";
}

namespace {

constexpr const char* kUartPresent = "4\n"; // a 16550A
constexpr const char* kUartUnknown = "0\n";

struct PortMapTest : ::testing::Test {
    CTempDir tree;

    void AddDevice(const std::string& name) const { tree.WriteFile("dev/" + name); }
    void AddUart(const std::string& name, const char* type) const
    {
        AddDevice(name);
        tree.WriteFile("sys/class/tty/" + name + "/type", type);
    }
    std::vector<SerialPortInfo> Ports() const
    {
        return EnumerateSerialPorts(tree / "dev", tree / "sys");
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& port : Ports())
            names.push_back(std::filesystem::path(port.path).filename().string());
        return names;
    }
};

TEST_F(PortMapTest, ListsAdaptersBeforeUartsEachByNumber)
{
    for (const char* name : {"ttyUSB10", "ttyS1", "ttyACM1", "ttyUSB2", "ttyACM0"})
        AddDevice(name);
    AddUart("ttyS10", kUartPresent);
    AddUart("ttyS1", kUartPresent);
    AddUart("ttyS0", kUartPresent);
    EXPECT_EQ(Names(), (std::vector<std::string>{"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyACM1",
                                                 "ttyS0", "ttyS1", "ttyS10"}));
    EXPECT_EQ(Ports().front().path, tree / "dev/ttyUSB2");
}

TEST_F(PortMapTest, IgnoresNamesThatAreNoNumberedSerialPort)
{
    for (const char* name :
         {"ttyUSB", "ttyUSBx", "ttyUSB-1", "ttyS1a", "tty0", "ttyAMA0", "console", "ttyUSB1234567"})
        AddDevice(name);
    EXPECT_TRUE(Names().empty());
}

TEST_F(PortMapTest, MissingDeviceDirectoryListsNothing)
{
    EXPECT_TRUE(EnumerateSerialPorts(tree / "nowhere", tree / "sys").empty());
}

struct UartTypeRow {
    std::optional<std::string> type; // nothing: no type file
    bool listed;
};

struct UartTypeTest : PortMapTest, ::testing::WithParamInterface<UartTypeRow> {};

TEST_P(UartTypeTest, OnlyUartsOfKnownTypeAreListed)
{
    AddDevice("ttyS3");
    if (GetParam().type)
        tree.WriteFile("sys/class/tty/ttyS3/type", *GetParam().type);
    EXPECT_EQ(Names().size(), GetParam().listed ? 1U : 0U);
}

INSTANTIATE_TEST_SUITE_P(PortMap, UartTypeTest,
                         ::testing::Values(UartTypeRow{"4\n", true}, UartTypeRow{"1", true},
                                           UartTypeRow{kUartUnknown, false}, UartTypeRow{"", false},
                                           UartTypeRow{"x", false},
                                           UartTypeRow{std::nullopt, false}));

TEST_F(PortMapTest, DescribesEachKindOfPort)
{
    AddDevice("ttyUSB0");
    AddDevice("ttyACM0");
    AddUart("ttyS0", kUartPresent);
    const auto ports = Ports();
    ASSERT_EQ(ports.size(), 3U);
    EXPECT_EQ(ports[0].description, "USB serial adapter");
    EXPECT_EQ(ports[1].description, "USB modem (ACM)");
    EXPECT_EQ(ports[2].description, "built-in serial port");
}

TEST_F(PortMapTest, NamesTheUsbProductFoundAboveTheInterface)
{
    AddDevice("ttyUSB0");
    tree.WriteFile("sys/devices/usb1/1-1/product", "FT232R USB UART\n");
    tree.MakeDirectory("sys/devices/usb1/1-1/1-1:1.0/ttyUSB0");
    tree.Symlink("../../../devices/usb1/1-1/1-1:1.0", "sys/class/tty/ttyUSB0/device");
    ASSERT_EQ(Ports().size(), 1U);
    EXPECT_EQ(Ports()[0].description, "USB serial adapter (FT232R USB UART)");
}

TEST_F(PortMapTest, LooksForTheProductOnlyInsideTheSysTree)
{
    AddDevice("ttyACM0");
    tree.WriteFile("product", "outside\n");
    tree.MakeDirectory("sys/devices/acm");
    tree.Symlink("../../../devices/acm", "sys/class/tty/ttyACM0/device");
    ASSERT_EQ(Ports().size(), 1U);
    EXPECT_EQ(Ports()[0].description, "USB modem (ACM)");
}

// A USB serial device as sysfs shows it: the USB device (with or without a serial number) on
// port path `port`, interface 1.0, and the tty under it. ttyUSB sits one level below the
// interface, ttyACM on the interface itself.
struct UsbDevice {
    std::string tty;
    std::string port;
    std::optional<std::string> serial;
};

struct PortMapNumbersTest : PortMapTest {
    CPortMap map{tree / "dev", tree / "sys", tree / "lock"};

    void AddUsb(const UsbDevice& usb) const
    {
        AddDevice(usb.tty);
        const std::string device = "devices/usb1/" + usb.port;
        tree.WriteFile("sys/" + device + "/idVendor", "0403\n");
        if (usb.serial)
            tree.WriteFile("sys/" + device + "/serial", *usb.serial + "\n");
        std::string interface = device + "/" + usb.port + ":1.0";
        if (usb.tty.rfind("ttyUSB", 0) == 0)
            interface += "/" + usb.tty;
        tree.MakeDirectory("sys/" + interface);
        tree.Symlink("../../../" + interface, "sys/class/tty/" + usb.tty + "/device");
    }
    void Unplug(const std::string& name) const
    {
        std::filesystem::remove(tree / ("dev/" + name));
        std::filesystem::remove_all(tree / ("sys/class/tty/" + name));
    }
    // COM1..COM4 as "ttyUSB0", "ttyUSB0 unplugged" or "-".
    std::vector<std::string> Numbers()
    {
        std::vector<std::string> numbers;
        for (const auto& port : map.Read()) {
            if (!port) {
                numbers.emplace_back("-");
                continue;
            }
            std::string name = std::filesystem::path(port->path).filename().string();
            numbers.push_back(port->present ? name : name + " unplugged");
        }
        return numbers;
    }
};

using ComNames = std::vector<std::string>;

TEST_F(PortMapNumbersTest, FirstReadNumbersInListOrder)
{
    for (const char* name : {"ttyACM2", "ttyUSB1", "ttyACM0", "ttyUSB0", "ttyACM1"})
        AddDevice(name);
    EXPECT_EQ(Numbers(), (ComNames{"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyACM1"}));
    EXPECT_EQ(map.Resolve(0)->path, tree / "dev/ttyUSB0");
}

struct ResolveRow {
    int index;
    std::optional<std::string> name;
};

struct ResolveTest : PortMapNumbersTest, ::testing::WithParamInterface<ResolveRow> {};

TEST_P(ResolveTest, ResolvesOnlyComOneToFourWithADevice)
{
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyACM1", "ttyACM2"})
        AddDevice(name);
    const auto port = map.Resolve(GetParam().index);
    ASSERT_EQ(port.has_value(), GetParam().name.has_value());
    if (port) {
        EXPECT_EQ(port->path, tree / ("dev/" + *GetParam().name));
    }
}

INSTANTIATE_TEST_SUITE_P(PortMap, ResolveTest,
                         ::testing::Values(ResolveRow{0, "ttyUSB0"}, ResolveRow{2, "ttyACM0"},
                                           ResolveRow{3, "ttyACM1"},    // COM4, the last
                                           ResolveRow{4, std::nullopt}, // a fifth port: no COMn
                                           ResolveRow{-1, std::nullopt}));

TEST_F(PortMapNumbersTest, AShortListLeavesTheLastNumbersEmpty)
{
    AddDevice("ttyUSB0");
    EXPECT_EQ(Numbers(), (ComNames{"ttyUSB0", "-", "-", "-"}));
    EXPECT_FALSE(map.Resolve(1).has_value());
}

TEST_F(PortMapNumbersTest, AnUnpluggedDeviceKeepsItsNumberAndNothingMovesIntoIt)
{
    AddDevice("ttyUSB0");
    AddDevice("ttyUSB1");
    AddUart("ttyS0", kUartPresent);
    ASSERT_EQ(Numbers(), (ComNames{"ttyUSB0", "ttyUSB1", "ttyS0", "-"}));
    Unplug("ttyUSB0");
    EXPECT_EQ(Numbers(), (ComNames{"ttyUSB0 unplugged", "ttyUSB1", "ttyS0", "-"}));
    EXPECT_FALSE(map.Resolve(0)->present);
}

TEST_F(PortMapNumbersTest, ALateDeviceTakesTheLowestFreeNumberAndTheOldOneComesBack)
{
    AddDevice("ttyUSB1");
    AddUart("ttyS0", kUartPresent);
    ASSERT_EQ(Numbers(), (ComNames{"ttyUSB1", "ttyS0", "-", "-"}));
    AddDevice("ttyUSB0"); // listed first now, but COM1 and COM2 are taken
    Unplug("ttyUSB1");
    EXPECT_EQ(Numbers(), (ComNames{"ttyUSB1 unplugged", "ttyS0", "ttyUSB0", "-"}));
    AddDevice("ttyUSB1");
    EXPECT_EQ(Numbers(), (ComNames{"ttyUSB1", "ttyS0", "ttyUSB0", "-"}));
}

// One step of plugging: "plug <tty> <USB port> [serial]", "node <tty>" (a device sysfs does not
// show), "unplug <tty>" (its by-id links go with it), "link <tty> <by-id name>" (udev makes or
// moves the link), "unlink <by-id name>"; then COM1..COM4 as the map reads them, or no read
// when `com` is empty.
struct PlugStep {
    std::string action;
    ComNames com;
};

struct PlugRow {
    const char* name;
    std::vector<PlugStep> steps;
};

struct PlugTest : PortMapNumbersTest, ::testing::WithParamInterface<PlugRow> {
    void Do(const std::string& action)
    {
        std::istringstream words(action);
        std::string verb, tty, word;
        words >> verb >> tty >> word;
        if (verb == "plug") {
            std::string serial;
            words >> serial;
            AddUsb({tty, word, serial.empty() ? std::nullopt : std::optional(serial)});
            m_ports[tty] = word;
        } else if (verb == "node") {
            AddDevice(tty);
        } else if (verb == "unplug") {
            Unplug(tty);
            if (const auto port = m_ports.find(tty); port != m_ports.end()) {
                std::filesystem::remove_all(tree / ("sys/devices/usb1/" + port->second));
                m_ports.erase(port);
            }
            for (const auto& link : Links())
                if (std::filesystem::read_symlink(link).filename() == tty)
                    std::filesystem::remove(link);
        } else if (verb == "link") {
            std::filesystem::remove(tree / ("dev/serial/by-id/" + word));
            tree.Symlink("../../" + tty, "dev/serial/by-id/" + word);
        } else if (verb == "unlink") {
            std::filesystem::remove(tree / ("dev/serial/by-id/" + tty));
        } else {
            FAIL() << "no such step: " << action;
        }
    }

private:
    std::vector<std::filesystem::path> Links() const
    {
        std::vector<std::filesystem::path> links;
        std::error_code none;
        for (const auto& entry :
             std::filesystem::directory_iterator(tree / "dev/serial/by-id", none))
            links.push_back(entry.path());
        return links;
    }
    std::map<std::string, std::string> m_ports; // tty -> USB port
};

TEST_P(PlugTest, EveryDeviceKeepsItsNumber)
{
    for (const PlugStep& step : GetParam().steps) {
        Do(step.action);
        if (!step.com.empty()) {
            ASSERT_EQ(Numbers(), step.com) << "after " << step.action;
        }
    }
}

const std::string kLink = "usb-Maker_Cable_0001-if00-port0";

INSTANTIATE_TEST_SUITE_P(
    PortMap, PlugTest,
    ::testing::Values(
        PlugRow{"AnAdapterBackUnderAnotherNameGetsItsNumberBack",
                {{"plug ttyUSB0 1-1 A1", {}},
                 {"plug ttyUSB1 1-2 B2", {"ttyUSB0", "ttyUSB1", "-", "-"}},
                 {"unplug ttyUSB0", {}},
                 {"unplug ttyUSB1", {}},
                 {"plug ttyUSB0 1-2 B2", {}}, // B2 is found first this time
                 {"plug ttyUSB1 1-1 A1", {"ttyUSB1", "ttyUSB0", "-", "-"}}}},
        PlugRow{"AnotherAdapterInTheSameSocketIsAnotherDevice",
                {{"plug ttyUSB0 1-1 A1", {"ttyUSB0", "-", "-", "-"}},
                 {"unplug ttyUSB0", {}},
                 {"plug ttyUSB0 1-1", {"ttyUSB0 unplugged", "ttyUSB0", "-", "-"}}}},
        PlugRow{"LookAlikesSeenTogetherKeepTheirNumbersWhenOneGoes",
                {{"plug ttyUSB0 1-1 0001", {}},
                 {"plug ttyUSB1 1-2 0001", {"ttyUSB0", "ttyUSB1", "-", "-"}},
                 {"unplug ttyUSB0", {"ttyUSB0 unplugged", "ttyUSB1", "-", "-"}}}},
        PlugRow{"LookAlikesWithoutSerialAreToldApartByTheirSockets",
                {{"plug ttyUSB0 1-1", {}},
                 {"link ttyUSB0 usb-Maker_Cable-if00-port0", {"ttyUSB0", "-", "-", "-"}},
                 {"plug ttyUSB1 1-2", {}},
                 {"link ttyUSB1 usb-Maker_Cable-if00-port0", {"ttyUSB0", "ttyUSB1", "-", "-"}},
                 {"unplug ttyUSB0", {"ttyUSB0 unplugged", "ttyUSB1", "-", "-"}}}},
        PlugRow{"ALookAlikePluggedInLaterIsToldApartToo", // though listed first
                {{"plug ttyUSB1 1-1 0001", {"ttyUSB1", "-", "-", "-"}},
                 {"plug ttyUSB0 1-2 0001", {"ttyUSB1", "ttyUSB0", "-", "-"}},
                 {"unplug ttyUSB1", {"ttyUSB1 unplugged", "ttyUSB0", "-", "-"}}}},
        PlugRow{"ALookAlikeBackInItsOwnSocketGetsItsOldNumber",
                {{"plug ttyUSB0 1-1 0001", {}},
                 {"plug ttyUSB1 1-2 0001", {"ttyUSB0", "ttyUSB1", "-", "-"}},
                 {"unplug ttyUSB0", {}},
                 {"unplug ttyUSB1", {"ttyUSB0 unplugged", "ttyUSB1 unplugged", "-", "-"}},
                 {"plug ttyUSB0 1-2 0001", {"ttyUSB0 unplugged", "ttyUSB0", "-", "-"}},
                 {"plug ttyUSB1 1-1 0001", {"ttyUSB1", "ttyUSB0", "-", "-"}}}},
        PlugRow{"ALookAlikeInANewSocketGetsANewNumber", // even with the by-id link
                {{"plug ttyUSB0 1-1 0001", {}},
                 {"plug ttyUSB1 1-2 0001", {}},
                 {"link ttyUSB1 " + kLink, {"ttyUSB0", "ttyUSB1", "-", "-"}},
                 {"unplug ttyUSB1", {}},
                 {"plug ttyUSB1 1-3 0001", {}},
                 {"link ttyUSB1 " + kLink, {"ttyUSB0", "ttyUSB1 unplugged", "ttyUSB1", "-"}}}},
        PlugRow{"AByIdLinkThatUdevMovesToALookAlikeMovesNoNumber",
                {{"plug ttyUSB0 1-1 0001", {}},
                 {"link ttyUSB0 " + kLink, {"ttyUSB0", "-", "-", "-"}},
                 {"plug ttyUSB1 1-2 0001", {}},
                 {"link ttyUSB1 " + kLink, {"ttyUSB0", "ttyUSB1", "-", "-"}},
                 {"unplug ttyUSB1", {}},
                 {"link ttyUSB0 " + kLink, {"ttyUSB0", "ttyUSB1 unplugged", "-", "-"}},
                 {"unplug ttyUSB0", {}},
                 {"plug ttyUSB0 1-3 0001", {}},
                 {"link ttyUSB0 " + kLink,
                  {"ttyUSB0 unplugged", "ttyUSB1 unplugged", "ttyUSB0", "-"}}}},
        PlugRow{"AByIdLinkThatAppearsLateMakesNoNewDevice",
                {{"plug ttyUSB0 1-1 A1", {"ttyUSB0", "-", "-", "-"}},
                 {"link ttyUSB0 usb-Maker_Cable_A1-if00-port0", {"ttyUSB0", "-", "-", "-"}},
                 {"unplug ttyUSB0", {}},
                 {"plug ttyUSB3 1-4 A1", {}},
                 {"link ttyUSB3 usb-Maker_Cable_A1-if00-port0", {"ttyUSB3", "-", "-", "-"}}}},
        PlugRow{"ALateLinkToAnAdapterWithoutSerialMakesNoNewDevice",
                {{"plug ttyUSB0 1-1", {"ttyUSB0", "-", "-", "-"}},
                 {"link ttyUSB0 usb-Maker_Cable-if00-port0", {"ttyUSB0", "-", "-", "-"}}}},
        PlugRow{"ALinkMissingForAMomentIsNotForgotten",
                {{"node ttyUSB0", {}},
                 {"link ttyUSB0 usb-Maker_Cable_A1-if00-port0", {"ttyUSB0", "-", "-", "-"}},
                 {"unlink usb-Maker_Cable_A1-if00-port0", {"ttyUSB0", "-", "-", "-"}},
                 {"unplug ttyUSB0", {}},
                 {"node ttyUSB0", {}}, // another adapter under the same name
                 {"link ttyUSB0 usb-Maker_Cable_B2-if00-port0",
                  {"ttyUSB0 unplugged", "ttyUSB0", "-", "-"}}}}),
    [](const auto& info) { return std::string(info.param.name); });

std::string FirstLine(const std::string& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

TEST_F(PortMapNumbersTest, ReadNamesTheOtherLiveProgramThatLockedADevice)
{
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyUSB2"})
        AddDevice(name);
    // The process that started the tests stands for another program: it is surely alive.
    tree.WriteFile("lock/LCK..ttyUSB0", std::to_string(::getppid()) + "\n");
    tree.WriteFile("lock/LCK..ttyUSB1", "2147483646\n"); // beyond any PID the kernel hands out
    tree.WriteFile("lock/LCK..ttyUSB2", std::to_string(::getpid()) + "\n"); // our own
    const ComPortMap ports = map.Read();
    ASSERT_TRUE(ports[0] && ports[0]->heldBy);
    EXPECT_EQ(ports[0]->heldBy->pid, ::getppid());
    EXPECT_EQ(ports[0]->heldBy->program,
              FirstLine("/proc/" + std::to_string(::getppid()) + "/comm"));
    ASSERT_TRUE(ports[1] && ports[2]);
    EXPECT_FALSE(ports[1]->heldBy);
    EXPECT_FALSE(ports[2]->heldBy);
}

struct IdentityRow {
    const char* name;
    UsbDevice usb;
    std::optional<std::string> byId; // a serial/by-id link to the tty
    DeviceKeys keys;                 // a path relative to the fake tree
};

struct DeviceIdentityTest : PortMapNumbersTest, ::testing::WithParamInterface<IdentityRow> {};

TEST_P(DeviceIdentityTest, NamesEverythingThatNamesTheDevice)
{
    const IdentityRow& row = GetParam();
    AddUsb(row.usb);
    if (row.byId)
        tree.Symlink("../../" + row.usb.tty, "dev/serial/by-id/" + *row.byId);
    DeviceKeys expected = row.keys;
    if (!expected.path.empty())
        expected.path = tree / expected.path;
    EXPECT_EQ(DeviceIdentity(tree / ("dev/" + row.usb.tty), tree / "dev", tree / "sys"), expected);
}

INSTANTIATE_TEST_SUITE_P(
    PortMap, DeviceIdentityTest,
    ::testing::Values(
        IdentityRow{"ByIdLinkSerialAndPort",
                    {"ttyUSB0", "1-1", "A1"},
                    "usb-Maker_Cable_A1-if00-port0",
                    {"usb-Maker_Cable_A1-if00-port0", "A1:1.0", "1-1:1.0", ""}},
        IdentityRow{
            "SerialAndPort", {"ttyUSB0", "1-1", "A1"}, std::nullopt, {"", "A1:1.0", "1-1:1.0", ""}},
        IdentityRow{"AcmSerialAndPort",
                    {"ttyACM0", "1-1", "C3"},
                    std::nullopt,
                    {"", "C3:1.0", "1-1:1.0", ""}},
        IdentityRow{"PortWithoutSerial",
                    {"ttyUSB0", "1-1.2", std::nullopt},
                    std::nullopt,
                    {"", "", "1-1.2:1.0", ""}},
        IdentityRow{
            "UartPath", {"ttyS0", "1-1", std::nullopt}, std::nullopt, {"", "", "", "dev/ttyS0"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortMapTest, AnAdapterWithoutSysfsIsKnownByItsPath)
{
    AddDevice("ttyUSB0");
    EXPECT_EQ(DeviceIdentity(tree / "dev/ttyUSB0", tree / "dev", tree / "sys"),
              (DeviceKeys{"", "", "", tree / "dev/ttyUSB0"}));
}

} // namespace
