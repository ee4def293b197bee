// The dialog manager's contract on the in-memory substitute window, which the console tests
// run on; and the group walk that the data exchange shares with it.
#include "DialogManagerContract.h"
#include "testing/SubstituteWindow.h"

namespace {

constexpr int kStepLimit = 10000;
constexpr int kDragPositions = 40;

class SubstituteDriver {
public:
    explicit SubstituteDriver(const DialogTemplate& tmpl) : m_window(tmpl) {}
    ~SubstituteDriver() { AfxSetWindowSystem(nullptr); }
    void Open(CDialog& dialog) { m_window.Open(dialog); }
    CWindowPeer& Peer() { return m_window; }
    void Key(DialogKey key) { m_window.PressKey(key); }
    void Click(int id) { m_window.Click(id); }
    void Type(int id, const char* text) { m_window.Type(id, text); }
    void DragFader(int id)
    {
        m_window.MoveFader(id, m_window.GetTrackbarPos(id) + kDragPositions);
        m_window.ReleaseFader(id);
    }
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

struct CentringRow {
    const char* fact;
    ScreenRect owner;
    ScreenRect workArea;
    int w;
    int h;
    int x;
    int y;
};

class DialogCentring : public ::testing::TestWithParam<CentringRow> {};

TEST_P(DialogCentring, StandsOverTheOwnerWithinTheWorkArea)
{
    const CentringRow& row = GetParam();
    EXPECT_EQ(CentredOver(row.owner, row.workArea, row.w, row.h), std::make_pair(row.x, row.y))
        << row.fact;
}

constexpr ScreenRect kScreen{0, 0, 1024, 768};

// One row a line.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, DialogCentring, ::testing::Values(
    CentringRow{"centred over the owner", {100, 100, 500, 400}, kScreen, 200, 100, 200, 200},
    CentringRow{"halves truncate", {0, 0, 405, 311}, kScreen, 201, 101, 102, 105},
    CentringRow{"pulled in from the right", {900, 100, 1300, 400}, kScreen, 200, 100, 824, 200},
    CentringRow{"pushed in from the left and top", {-300, -200, 100, 100}, kScreen, 200, 100, 0, 0},
    CentringRow{"kept above the task bar", {300, 600, 700, 800}, {0, 0, 1024, 728}, 200, 100, 400, 628},
    CentringRow{"wider than the work area: its left edge shows", kScreen, kScreen, 1200, 100, 0, 334},
    CentringRow{"on a second monitor", {1500, 300, 1905, 611}, {1024, 0, 2944, 1040}, 300, 100, 1552, 405}));
// clang-format on

} // namespace
