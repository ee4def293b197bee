// The transmission worker on the real termios port: a device that goes away in the middle of
// a transmission, and one that is not there at all.
#include "TransmitThreadingFixture.h"

#include "link/PosixCommPort.h"

#include "PseudoTerminal.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace {

TEST_F(TransmitThreading, DeviceVanishingMidTransmissionEndsTheWorkerAndClosesTheLink)
{
    CTempDir tree;
    CPseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    // COM1 is the first adapter the port map finds: make the pty look like one.
    tree.Symlink(pty.SlavePath(), "dev/ttyUSB0");
    PosixPortOptions options;
    options.portMap = std::make_shared<CPortMap>(tree / "dev", tree / "sys", tree / "lock");
    // Hold the first byte of the second frame until the device is gone.
    gate = std::make_shared<CGatedCommPort>(std::make_shared<CPosixCommPort>(options),
                                            static_cast<int>(kFrameBytes) + 1);
    ASSERT_NO_FATAL_FAILURE(Start(gate));
    ASSERT_NO_FATAL_FAILURE(EnableChannels(kFaderCount));
    const int descriptors = OpenDescriptorCount();
    Tick();

    const std::vector<std::uint8_t> first = pty.Read(kFrameBytes, kDeadline);
    EXPECT_EQ(first, Bytes(BuildFrame(0xFF, 0x00, BuildSetLevelPayload(1, 10))));
    ASSERT_TRUE(gate->WaitUntilHeld(kDeadline));
    pty.CloseMaster();
    gate->Open();

    ASSERT_TRUE(worker.WaitFor(kDeadline)) << "the worker hangs on a vanished device";
    const TransmitReport report = worker.LastReport();
    EXPECT_TRUE(report.finished);
    EXPECT_EQ(report.openError, "");
    EXPECT_EQ(report.framesSent, 1);
    EXPECT_EQ(report.framesFailed, 1) << "the worker must stop at the first failed frame";
    EXPECT_EQ(report.errorCode, static_cast<std::uint32_t>(EIO));
    EXPECT_FALSE(link.IsOpen());
    // The slave is closed again and the master is gone.
    EXPECT_EQ(OpenDescriptorCount(), descriptors - 1);
    EXPECT_FALSE(gate->GaveUp());
}

TEST_F(TransmitThreading, MissingSerialDeviceOnTheRealBackendEndsTheWorker)
{
    CTempDir tree;
    tree.MakeDirectory("dev");
    PosixPortOptions options;
    options.portMap = std::make_shared<CPortMap>(tree / "dev", tree / "sys", tree / "lock");
    const int descriptors = OpenDescriptorCount();
    ASSERT_NO_FATAL_FAILURE(Start(std::make_shared<CPosixCommPort>(options)));
    ASSERT_NO_FATAL_FAILURE(EnableChannels(1));
    Tick();
    ASSERT_TRUE(worker.WaitFor(kDeadline));

    const TransmitReport report = worker.LastReport();
    EXPECT_EQ(report.openError, kOpenErrorInvalidHandle);
    EXPECT_EQ(report.errorCode, static_cast<std::uint32_t>(ENOENT));
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

} // namespace
