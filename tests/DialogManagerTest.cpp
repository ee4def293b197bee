// The dialog manager's contract on the in-memory substitute window, which the console tests
// run on; and the group walk that the data exchange shares with it.
#include "DialogManagerContract.h"
#include "testing/SubstituteWindow.h"

namespace {

constexpr int kStepLimit = 10000;

class SubstituteDriver {
public:
    explicit SubstituteDriver(const DialogTemplate& tmpl) : m_window(tmpl) {}
    ~SubstituteDriver() { AfxSetWindowSystem(nullptr); }
    void Open(CDialog& dialog) { m_window.Open(dialog); }
    CWindowPeer& Peer() { return m_window; }
    void Key(DialogKey key) { m_window.PressKey(key); }
    void Click(int id) { m_window.Click(id); }
    void Type(int id, const char* text) { m_window.Type(id, text); }
    void PressClose() { m_window.PressClose(); }
    int FocusedId() const { return m_window.FocusedId(); }
    bool AllTextSelected(int id) const { return m_window.AllTextSelected(id); }
    // The box's loop: the clock runs a millisecond at a time while the step wants more.
    void DuringNextBox(std::function<bool()> step)
    {
        m_window.m_onMessageBox = [this, step](const std::string&) {
            for (int i = 0; i < kStepLimit && !step(); ++i)
                m_window.AdvanceClock(1);
            m_window.m_onMessageBox = nullptr;
        };
    }

    void DuringNextModal(std::function<bool()> step)
    {
        m_windows.m_modalScript = [this, step](CSubstituteWindow& other, int) {
            for (int i = 0; i < kStepLimit && !step(); ++i)
                m_window.AdvanceClock(1);
            other.PressEscape();
        };
        AfxSetWindowSystem(&m_windows);
    }

private:
    CSubstituteWindow m_window;
    CSubstituteWindowSystem m_windows;
};

} // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Substitute, DialogManagerContract, SubstituteDriver);
} // namespace contract

namespace {

struct GroupRow {
    std::size_t index;
    std::size_t first;
    std::size_t end;
};

class DialogGroups : public ::testing::TestWithParam<GroupRow> {};

// Template order: boxes 0 and 1, radios 2..4, check box 5, label 6, fader 7, buttons 8 and 9,
// each run starting at a WS_GROUP control.
TEST_P(DialogGroups, RunFromTheGroupStartToTheNextOne)
{
    const DialogTemplate tmpl = contract::MakeTemplate(true);
    const ControlGroup group = GroupOf(tmpl, GetParam().index);
    EXPECT_EQ(group.first, GetParam().first);
    EXPECT_EQ(group.end, GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(ContractTemplate, DialogGroups,
                         ::testing::Values(GroupRow{0, 0, 1}, GroupRow{2, 2, 5}, GroupRow{4, 2, 5},
                                           GroupRow{8, 8, 10}, GroupRow{9, 8, 10}));

} // namespace
