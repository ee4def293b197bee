// A console opened on a substitute window, transmitting through a link of its own on a fresh
// recording port.
#pragma once

#include "res/Resource.h"
#include "res/Templates.h"
#include "testing/RecordedConsole.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

struct ConsoleFixture : ::testing::Test, CRecordedConsole {
    std::string Box(int channel) const { return win.GetItemText(kLevelIds.at(channel)); }
    int Fader(int channel) const { return win.GetTrackbarPos(kSliderIds.at(channel)); }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const auto& box : win.MessageBoxes())
            texts.push_back(box.text);
        return texts;
    }

    // One tick, then the transmission it started, to its end.
    void TickAndWait()
    {
        win.AdvanceClock(kTickMilliseconds);
        ASSERT_TRUE(worker.WaitFor(std::chrono::seconds(10)));
    }
};
