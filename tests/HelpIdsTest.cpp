// g_helpIds against the console template: every row names a real control, each topic is the
// topic of the first control of its kind, and the table ends as the help engine expects.
#include "console/HelpIds.h"
#include "framework/WinDefs.h"
#include "res/Resource.h"
#include "res/Templates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

constexpr std::size_t kRows = 53;

const DialogTemplate& Console()
{
    static const DialogTemplate missing;
    const DialogTemplate* found = FindDialogTemplate(IDD_CONSOLE);
    if (found == nullptr)
        ADD_FAILURE() << "no console template";
    return found != nullptr ? *found : missing;
}

std::ptrdiff_t RowOf(int controlId)
{
    auto rows = g_helpIds.begin();
    return std::find_if(rows, rows + kRows,
                        [&](const HelpIdPair& pair) {
                            return pair.controlId == static_cast<std::uint32_t>(controlId);
                        }) -
           rows;
}

// Same class and, for buttons and statics, the same kind of button or static.
bool SameKind(const ControlTemplate& a, const ControlTemplate& b)
{
    return a.cls == b.cls && (a.cls == ControlClass::Trackbar || a.cls == ControlClass::Edit ||
                              (a.style & BS_TYPEMASK) == (b.style & BS_TYPEMASK));
}

TEST(HelpIdsTable, FiftyThreePairsThenTheEnd)
{
    for (std::size_t i = 0; i < kRows; ++i) {
        EXPECT_NE(g_helpIds[i].controlId, 0u) << i;
        EXPECT_NE(g_helpIds[i].contextId, 0u) << i;
    }
    EXPECT_EQ(g_helpIds[kRows].controlId, 0u);
    EXPECT_EQ(g_helpIds[kRows].contextId, 0u);
}

TEST(HelpIdsTable, ThirteenTopics)
{
    std::set<std::uint32_t> topics;
    for (std::size_t i = 0; i < kRows; ++i)
        topics.insert(g_helpIds[i].contextId);
    EXPECT_EQ(topics.size(), 13u);
}

TEST(HelpIdsTable, TopicIsTheFirstControlOfTheSameKind)
{
    const DialogTemplate& dlg = Console();
    const auto position = [&](int id) { return dlg.Find(id) - dlg.controls.data(); };
    for (std::size_t i = 0; i < kRows; ++i) {
        const int id = static_cast<int>(g_helpIds[i].controlId);
        const int topicId = static_cast<int>(g_helpIds[i].contextId & 0xFFFF);
        const ControlTemplate* control = dlg.Find(id);
        const ControlTemplate* topic = dlg.Find(topicId);
        ASSERT_NE(control, nullptr) << id;
        ASSERT_NE(topic, nullptr) << topicId;
        EXPECT_EQ(g_helpIds[i].contextId >> 16, 0x8082u) << id;
        // The topic's own control leads to itself, under the help id it carries in the template.
        EXPECT_EQ(g_helpIds.at(RowOf(topicId)).contextId, g_helpIds[i].contextId) << id;
        EXPECT_EQ(topic->helpId, g_helpIds[i].contextId) << id;
        EXPECT_LE(position(topicId), position(id)) << id;
        // The base box's stepper buttons are the one family that mixes kinds.
        if (id == IDC_BASE_UP || id == IDC_BASE_DOWN)
            EXPECT_EQ(topicId, IDC_BASE_ADDR);
        else
            EXPECT_TRUE(SameKind(*control, *topic)) << id << " -> " << topicId;
    }
}

TEST(HelpIdsTable, LeavesOutExactlyLabelsAboutAndStatics)
{
    std::set<int> rowless;
    for (const ControlTemplate& control : Console().controls)
        if (RowOf(control.id) == static_cast<std::ptrdiff_t>(kRows))
            rowless.insert(control.id);
    std::set<int> expected(kChanLabelIds.begin(), kChanLabelIds.end());
    expected.insert({IDC_ABOUT, IDC_STATIC});
    EXPECT_EQ(rowless, expected);
}

// The first row of every topic: its place in the table and its context id, as the help file
// is keyed.
struct TopicRow {
    std::ptrdiff_t row;
    int controlId;
    std::uint32_t contextId;
};

class HelpIdsTopic : public testing::TestWithParam<TopicRow> {};

TEST_P(HelpIdsTopic, StandsAtItsRowWithItsContextId)
{
    const TopicRow& expected = GetParam();
    ASSERT_EQ(RowOf(expected.controlId), expected.row);
    EXPECT_EQ(g_helpIds.at(expected.row).contextId, expected.contextId);
}

INSTANTIATE_TEST_SUITE_P(
    HelpIds, HelpIdsTopic,
    testing::Values(TopicRow{0, IDC_BASE_ADDR, 0x80820413}, TopicRow{3, IDC_BLACKOUT, 0x80820424},
                    TopicRow{4, IDC_COM1, 0x8082041F}, TopicRow{8, IDC_LEVEL1, 0x8082040A},
                    TopicRow{16, IDC_ENA_ALL, 0x80820423}, TopicRow{17, IDC_ENA1, 0x80820402},
                    TopicRow{25, IDC_GRP_ALL, 0x80820412}, TopicRow{26, IDC_GRP1, 0x808203F9},
                    TopicRow{34, IDC_SET_ALL, 0x80820401}, TopicRow{35, IDC_SET1, 0x808203F0},
                    TopicRow{43, IDC_SLIDER1, 0x808203E8}, TopicRow{51, IDC_PERCENT, 0x8082041C},
                    TopicRow{52, IDC_VALUE, 0x8082041D}));

} // namespace
