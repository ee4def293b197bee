// The dialog templates against the facts the console relies on: ids, tab order, radio groups,
// column layout and help ids.
#include "framework/WinDefs.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "res/Templates.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const DialogTemplate& Template(int id)
{
    static const DialogTemplate missing;
    const DialogTemplate* found = FindDialogTemplate(id);
    if (found == nullptr)
        ADD_FAILURE() << "no template " << id;
    return found != nullptr ? *found : missing;
}

const ControlTemplate& Control(int id)
{
    static const ControlTemplate missing;
    const ControlTemplate* found = Template(IDD_CONSOLE).Find(id);
    if (found == nullptr)
        ADD_FAILURE() << "no control " << id;
    return found != nullptr ? *found : missing;
}

std::vector<int> TabStops(const DialogTemplate& dlg)
{
    std::vector<int> ids;
    for (const ControlTemplate& control : dlg.controls)
        if (control.style & WS_TABSTOP)
            ids.push_back(control.id);
    return ids;
}

struct RadioGroup {
    std::vector<int> members;
    int endedBy = 0;
};

// As the exchange walks it: from the first button up to the next control with WS_GROUP.
RadioGroup WalkGroup(int firstId)
{
    const std::vector<ControlTemplate>& controls = Template(IDD_CONSOLE).controls;
    RadioGroup group;
    auto it = controls.begin();
    while (it != controls.end() && it->id != firstId)
        ++it;
    for (; it != controls.end(); ++it) {
        if (!group.members.empty() && (it->style & WS_GROUP)) {
            group.endedBy = it->id;
            break;
        }
        EXPECT_EQ(it->style & BS_TYPEMASK, BS_AUTORADIOBUTTON) << it->id;
        group.members.push_back(it->id);
    }
    return group;
}

bool Inside(const DialogRect& inner, const DialogRect& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
           inner.y + inner.cy <= outer.y + outer.cy;
}

TEST(TemplateConsole, HasSixtyFiveControlsWithUniqueIds)
{
    EXPECT_EQ(FindDialogTemplate(IDD_CONSOLE + 1), nullptr);
    const DialogTemplate& dlg = Template(IDD_CONSOLE);
    ASSERT_EQ(dlg.controls.size(), 65u);
    std::set<int> ids;
    int statics = 0;
    for (const ControlTemplate& control : dlg.controls) {
        if (control.id == IDC_STATIC)
            ++statics;
        else
            EXPECT_TRUE(ids.insert(control.id).second) << "duplicate " << control.id;
    }
    EXPECT_EQ(statics, 3); // "Base Addr" and the two group boxes
    EXPECT_FALSE(ids.contains(1009));
    EXPECT_FALSE(ids.contains(1054));
    EXPECT_EQ(dlg.exStyle, WS_EX_CONTEXTHELP);
    EXPECT_TRUE(dlg.caption.empty());
}

TEST(TemplateConsole, TabRunsThroughChannelColumnsThenTheRightPanel)
{
    std::vector<int> expected{IDC_BASE_ADDR};
    for (std::size_t i = 0; i < kChannelControlCount; ++i)
        expected.insert(expected.end(),
                        {kSliderIds[i], kLevelIds[i], kSetIds[i], kGrpIds[i], kEnaIds[i]});
    expected.insert(expected.end(), kComIds.begin(), kComIds.end());
    expected.insert(expected.end(), {IDC_PERCENT, IDC_VALUE, IDC_BLACKOUT, IDC_SET_ALL, IDC_GRP_ALL,
                                     IDC_ENA_ALL, IDC_BASE_UP, IDC_BASE_DOWN});
    EXPECT_EQ(TabStops(Template(IDD_CONSOLE)), expected);
}

TEST(TemplateConsole, RadioGroupsEndAtTheNextGroupStart)
{
    const RadioGroup port = WalkGroup(IDC_COM1);
    EXPECT_EQ(port.members, std::vector<int>(kComIds.begin(), kComIds.end()));
    EXPECT_EQ(port.endedBy, IDC_PERCENT);
    const RadioGroup display = WalkGroup(IDC_PERCENT);
    EXPECT_EQ(display.members, (std::vector<int>{IDC_PERCENT, IDC_VALUE}));
    EXPECT_EQ(display.endedBy, IDC_BLACKOUT);
}

TEST(TemplateConsole, SetAllIsTheOnlyDefaultButtonAndAboutNoTabStop)
{
    std::vector<int> defaults;
    for (const ControlTemplate& control : Template(IDD_CONSOLE).controls)
        if (control.cls == ControlClass::Button &&
            (control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            defaults.push_back(control.id);
    EXPECT_EQ(defaults, std::vector<int>{IDC_SET_ALL});
    EXPECT_EQ(Control(IDC_ABOUT).style & WS_TABSTOP, 0u);
}

TEST(TemplateConsole, ChannelColumnsAre28ApartExceptGrpAndEna8)
{
    constexpr int kColumnPitch = 28;
    for (const auto* ids :
         {&kSliderIds, &kLevelIds, &kSetIds, &kChanLabelIds, &kGrpIds, &kEnaIds}) {
        const ControlTemplate& first = Control((*ids)[0]);
        for (std::size_t i = 1; i < kChannelControlCount; ++i) {
            const ControlTemplate& control = Control((*ids)[i]);
            // Every channel's control is channel 1's, moved along the row.
            EXPECT_EQ(control.cls, first.cls) << control.id;
            EXPECT_EQ(control.style, first.style) << control.id;
            if (ids != &kChanLabelIds)
                EXPECT_EQ(control.text, first.text) << control.id;
            else
                EXPECT_EQ(control.text, std::to_string(i + 1)) << control.id;
            EXPECT_EQ(control.rect.y, first.rect.y) << control.id;
            EXPECT_EQ(control.rect.cx, first.rect.cx) << control.id;
            EXPECT_EQ(control.rect.cy, first.rect.cy) << control.id;
            if (control.id != IDC_GRP8 && control.id != IDC_ENA8) {
                EXPECT_EQ(control.rect.x - Control((*ids)[i - 1]).rect.x, kColumnPitch)
                    << control.id;
            }
        }
    }
    EXPECT_EQ(Control(IDC_GRP8).rect.x, 198);
    EXPECT_EQ(Control(IDC_ENA8).rect.x, 198);
    constexpr int kLastColumnShift = 4; // left of where the pitch would put them
    EXPECT_EQ(Control(IDC_GRP8).rect.x, Control(IDC_GRP7).rect.x + kColumnPitch - kLastColumnShift);
    EXPECT_EQ(Control(IDC_SLIDER1).text, "Slider1");
}

TEST(TemplateConsole, OwnHelpIdsJoinTemplateIdAndControlId)
{
    std::set<int> withoutHelp;
    for (const ControlTemplate& control : Template(IDD_CONSOLE).controls) {
        if (control.helpId == 0)
            withoutHelp.insert(control.id);
        else
            EXPECT_EQ(control.helpId, (0x8082u << 16) | static_cast<std::uint32_t>(control.id));
    }
    std::set<int> expected(kChanLabelIds.begin(), kChanLabelIds.end());
    expected.insert({IDC_ABOUT, IDC_STATIC});
    EXPECT_EQ(withoutHelp, expected);
    EXPECT_EQ(Control(IDC_BASE_ADDR).helpId, 0x80820413u);
}

TEST(TemplateConsole, GroupBoxesFrameTheirRadios)
{
    const std::vector<ControlTemplate>& controls = Template(IDD_CONSOLE).controls;
    const ControlTemplate& port = controls.at(kPortGroupBoxIndex);
    EXPECT_EQ(port.id, IDC_STATIC);
    EXPECT_EQ(port.style & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_EQ(port.text, LoadResString(IDS_PORT_GROUP));
    for (int id : kComIds)
        EXPECT_TRUE(Inside(Control(id).rect, port.rect)) << id;

    const ControlTemplate& display = controls.at(kPortGroupBoxIndex - 1);
    EXPECT_EQ(display.style & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_EQ(display.text, "Display");
    for (int id : {IDC_PERCENT, IDC_VALUE})
        EXPECT_TRUE(Inside(Control(id).rect, display.rect)) << id;
}

TEST(TemplateAbout, OkIsTheOnlyTabStopBesideIconVersionAndNotice)
{
    const DialogTemplate& dlg = Template(IDD_ABOUT);
    ASSERT_EQ(dlg.controls.size(), 5u);
    EXPECT_EQ(TabStops(dlg), std::vector<int>{IDOK});
    EXPECT_EQ(dlg.controls[3].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(dlg.controls[0].style & SS_TYPEMASK, SS_ICON);
    EXPECT_EQ(dlg.controls[0].text, "#" + std::to_string(IDI_APP_ICON));
    EXPECT_EQ(dlg.controls[1].id, IDC_VERSION);
    EXPECT_EQ(dlg.controls[1].text, "Lumivane Version 1.04");
    EXPECT_FALSE(dlg.controls[2].text.empty());
    EXPECT_EQ(dlg.controls[2].text, LoadResString(IDS_ABOUT_NOTICE1));
    EXPECT_EQ(dlg.controls[4].text, LoadResString(IDS_ABOUT_NOTICE2));
}

} // namespace
