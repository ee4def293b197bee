// The console's transmissions: which of its worker's reports are its own.
#include "PlatformErrors.h"
#include "res/Resource.h"
#include "res/Templates.h"
#include "testing/RecordedConsole.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

// A worker may outlive a console: a transmission it ended before this console opened neither
// shows as the console's last one nor marks a change to try again.
TEST(ConsoleTransmission, ATransmissionEndedBeforeTheConsoleOpenedIsNotItsOwn)
{
    CRecordedTransmission transmission;
    transmission.port->FailOpen(SystemError::kBusy);
    ASSERT_TRUE(transmission.worker.Start());
    ASSERT_TRUE(transmission.worker.WaitFor(std::chrono::seconds(10)));
    ASSERT_FALSE(transmission.worker.LastReport().Succeeded());

    CConsoleDlg dlg{transmission.worker};
    CSubstituteWindow win(*FindDialogTemplate(IDD_CONSOLE));
    win.Open(dlg);
    EXPECT_EQ(win.TextAt(kPortGroupBoxIndex), "Port");
    win.AdvanceClock(kTickMilliseconds);
    EXPECT_EQ(dlg.m_bDirty, 0);
    win.Close();
}

} // namespace
