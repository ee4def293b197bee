// The transmission worker on a console over a substitute window, with a port that can hold
// the worker inside a write until the test lets it go. Shared by the portable threading tests
// and those on the platform's real port.
#pragma once

#include "console/ConsoleDlg.h"
#include "link/SerialLink.h"
#include "res/Resource.h"
#include "res/Templates.h"
#include "testing/PluggableCommPort.h"
#include "testing/RecordingCommPort.h"
#include "testing/SubstituteWindow.h"
#include "transmit/Transmit.h"

#include "FrameDecoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

using Kind = CRecordingCommPort::EventKind;
constexpr auto kDeadline = std::chrono::seconds(10);
// A held write gives up after this long, so a failing test ends instead of hanging.
constexpr auto kGateDeadline = std::chrono::seconds(20);
constexpr std::size_t kFrameBytes = 6;
constexpr std::uint32_t kSomeError = 31;

// A port in front of another that holds the `holdAt`-th write (1-based, counted over its
// life) and every later one until the test opens the gate. The worker calls WriteByte; the
// test thread calls the rest.
class CGatedCommPort : public CPluggableCommPort {
public:
    CGatedCommPort(std::shared_ptr<CCommPort> inner, int holdAt)
        : CPluggableCommPort(std::move(inner)), m_nHoldAt(holdAt)
    {
    }

    // True once a write waits at the closed gate; false at the deadline.
    bool WaitUntilHeld(std::chrono::milliseconds deadline)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, deadline, [this] { return m_bHeld; });
    }
    void Open()
    {
        {
            std::lock_guard lock(m_mutex);
            m_bOpen = true;
        }
        m_changed.notify_all();
    }
    bool GaveUp() const
    {
        std::lock_guard lock(m_mutex);
        return m_bGaveUp;
    }

    bool WriteByte(PortHandle handle, std::uint8_t value) override
    {
        {
            std::unique_lock lock(m_mutex);
            if (++m_nWrites >= m_nHoldAt && !m_bOpen) {
                m_bHeld = true;
                m_changed.notify_all();
                if (!m_changed.wait_for(lock, kGateDeadline, [this] { return m_bOpen; }))
                    m_bGaveUp = true;
            }
        }
        return CPluggableCommPort::WriteByte(handle, value);
    }

private:
    const int m_nHoldAt;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_nWrites = 0;
    bool m_bHeld = false;
    bool m_bOpen = false;
    bool m_bGaveUp = false;
};

inline std::vector<DecodedSetLevel> SetLevels(const std::vector<FrameByte>& line)
{
    const FrameDecoding decoded = DecodeFrames(line);
    EXPECT_TRUE(decoded.Clean()) << ::testing::PrintToString(decoded.errors);
    std::vector<DecodedSetLevel> commands;
    for (const DecodedFrame& frame : decoded.frames)
        if (const auto command = DecodeSetLevel(frame, nullptr))
            commands.push_back(*command);
    return commands;
}

inline std::vector<std::uint8_t> Bytes(const std::vector<FrameByte>& line)
{
    std::vector<std::uint8_t> bytes;
    for (const FrameByte& byte : line)
        bytes.push_back(byte.value);
    return bytes;
}

// A console on a substitute window, transmitting through a link of its own on `backend`.
// Whatever a test leaves behind, the gate is opened and the worker waited for before the window
// closes.
struct TransmitThreading : ::testing::Test {
    std::shared_ptr<CRecordingCommPort> recording = std::make_shared<CRecordingCommPort>();
    std::shared_ptr<CGatedCommPort> gate;
    // The backend each test chooses is plugged in before the console opens.
    std::shared_ptr<CPluggableCommPort> portSocket =
        std::make_shared<CPluggableCommPort>(recording);
    CSerialLink link{portSocket};
    TransmitSnapshot snapshot;
    bool refuseThreads = false; // no thread to be had, as when the process is at its limit
    CTransmitWorker worker{link, snapshot, [this](std::function<void()> body) {
                               if (refuseThreads)
                                   throw std::system_error(std::make_error_code(
                                       std::errc::resource_unavailable_try_again));
                               return std::thread(std::move(body));
                           }};
    CConsoleDlg dlg{worker};
    CSubstituteWindow win{*FindDialogTemplate(IDD_CONSOLE)};

    void Start(std::shared_ptr<CCommPort> backend)
    {
        ASSERT_FALSE(link.IsOpen());
        portSocket->Plug(std::move(backend));
        win.Open(dlg);
    }
    // Value units; channels 1..count enabled at levels 10, 20, ...; marked for the next tick.
    void EnableChannels(int count)
    {
        win.Click(IDC_VALUE);
        for (int i = 0; i < count; ++i) {
            win.Type(kLevelIds.at(static_cast<std::size_t>(i)), std::to_string(10 * (i + 1)));
            win.Click(kEnaIds.at(static_cast<std::size_t>(i)));
        }
        win.Click(IDC_SET_ALL);
        ASSERT_EQ(dlg.m_bDirty, 1);
    }
    void Tick() { win.AdvanceClock(kTickMilliseconds); }
    int Count(Kind kind) const
    {
        int n = 0;
        for (const auto& e : recording->Events())
            n += e.kind == kind ? 1 : 0;
        return n;
    }

    ~TransmitThreading() override
    {
        if (gate)
            gate->Open();
        worker.WaitFor(kDeadline);
        win.Close();
    }
};
