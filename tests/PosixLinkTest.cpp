// The link on the real termios backend, with COM1 mapped to a pseudo-terminal.
#include "link/PosixCommPort.h"
#include "link/SerialLink.h"

#include "PseudoTerminal.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace {

struct PosixLinkTest : ::testing::Test {
    CTempDir tree;
    CPseudoTerminal pty;
    std::shared_ptr<CPosixCommPort> port;

    void SetUp() override
    {
        ASSERT_TRUE(pty.IsOpen());
        // COM1 is the first adapter the map finds: make the pty look like one.
        tree.Symlink(pty.SlavePath(), "dev/ttyUSB0");
        port = std::make_shared<CPosixCommPort>(Options());
    }
    PosixPortOptions Options() const
    {
        PosixPortOptions options;
        options.portMap = std::make_shared<CPortMap>(tree / "dev", tree / "sys", tree / "lock");
        return options;
    }
};

struct SendRow {
    std::uint16_t nineBit;
    std::vector<std::uint8_t> line;
};

struct PosixLinkSendTest : PosixLinkTest, ::testing::WithParamInterface<SendRow> {};

TEST_P(PosixLinkSendTest, SetLevelReachesTheLineInOrder)
{
    CSerialLink link{port};
    ASSERT_EQ(link.Open(0, kDefaultBaudRate, GetParam().nineBit), "");
    link.SetAddress(0xFF);
    link.SetHeaderByte(0x00);
    ASSERT_TRUE(link.Send(BuildSetLevelPayload(1, 128)));
    link.Close();
    EXPECT_EQ(link.m_bLastResult, 1);
    EXPECT_EQ(pty.Read(GetParam().line.size() + 1, std::chrono::milliseconds(200)),
              GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(PosixLink, PosixLinkSendTest,
                         ::testing::Values(SendRow{1,
                                                   {0xFF, 0x00, 0x07, 0x00, 0x80, 0x43}}, // framed
                                           SendRow{0, {0x07, 0x00, 0x80}}));              // plain

TEST_F(PosixLinkTest, PortHeldElsewhereFailsTheOpenAndIsReported)
{
    CPosixCommPort holder{Options()};
    ASSERT_NE(holder.OpenDevice(pty.SlavePath()), INVALID_PORT_HANDLE);
    CSerialLink link{port};
    EXPECT_EQ(link.Open(0, kDefaultBaudRate, 1), kOpenErrorInvalidHandle);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.m_dwLastError, static_cast<std::uint32_t>(EBUSY));
}

TEST_F(PosixLinkTest, ComPortWithoutADeviceFailsTheOpen)
{
    CSerialLink link{port};
    EXPECT_EQ(link.Open(1, kDefaultBaudRate, 1), kOpenErrorInvalidHandle);
    EXPECT_EQ(link.m_dwLastError, static_cast<std::uint32_t>(ENOENT));
}

} // namespace
