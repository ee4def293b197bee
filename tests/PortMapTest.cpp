#include "link/PortMap.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

struct ResolveRow {
    int index;
    std::optional<std::string> name;
};

struct ResolveComPortTest : PortMapTest, ::testing::WithParamInterface<ResolveRow> {};

TEST_P(ResolveComPortTest, MapsComIndexToTheListedPort)
{
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyACM1", "ttyACM2"})
        AddDevice(name);
    const auto port = ResolveComPort(GetParam().index, tree / "dev", tree / "sys");
    ASSERT_EQ(port.has_value(), GetParam().name.has_value());
    if (port) {
        EXPECT_EQ(port->path, tree / ("dev/" + *GetParam().name));
    }
}

INSTANTIATE_TEST_SUITE_P(PortMap, ResolveComPortTest,
                         ::testing::Values(ResolveRow{0, "ttyUSB0"}, ResolveRow{2, "ttyACM0"},
                                           ResolveRow{3, "ttyACM1"},    // COM4, the last
                                           ResolveRow{4, std::nullopt}, // a fifth port: no COMn
                                           ResolveRow{-1, std::nullopt}));

TEST_F(PortMapTest, ResolveComPortBeyondAShortListFindsNothing)
{
    AddDevice("ttyUSB0");
    EXPECT_TRUE(ResolveComPort(0, tree / "dev", tree / "sys").has_value());
    EXPECT_FALSE(ResolveComPort(1, tree / "dev", tree / "sys").has_value());
}

} // namespace
