#include "console/HelpIds.h"

#include "res/Resource.h"

namespace {

// A row: `controlId` leads to the topic of `topicControlId`, the first control of its kind.
constexpr HelpIdPair Row(int controlId, int topicControlId)
{
    return {static_cast<std::uint32_t>(controlId), ControlHelpId(IDD_CONSOLE, topicControlId)};
}

constexpr HelpIdPair kEndOfTable{0, 0};

} // namespace

// The help engine searches the table in order; the order is the help file's and is kept.
// clang-format off
constinit const std::array<HelpIdPair, 54> g_helpIds{
    // The "+" and "-" buttons share the base box's topic.
    Row(IDC_BASE_ADDR, IDC_BASE_ADDR),
    Row(IDC_BASE_DOWN, IDC_BASE_ADDR),
    Row(IDC_BASE_UP, IDC_BASE_ADDR),
    Row(IDC_BLACKOUT, IDC_BLACKOUT),
    Row(IDC_COM1, IDC_COM1),
    Row(IDC_COM2, IDC_COM1),
    Row(IDC_COM3, IDC_COM1),
    Row(IDC_COM4, IDC_COM1),
    Row(IDC_LEVEL1, IDC_LEVEL1),
    Row(IDC_LEVEL2, IDC_LEVEL1),
    Row(IDC_LEVEL3, IDC_LEVEL1),
    Row(IDC_LEVEL4, IDC_LEVEL1),
    Row(IDC_LEVEL5, IDC_LEVEL1),
    Row(IDC_LEVEL6, IDC_LEVEL1),
    Row(IDC_LEVEL7, IDC_LEVEL1),
    Row(IDC_LEVEL8, IDC_LEVEL1),
    Row(IDC_ENA_ALL, IDC_ENA_ALL),
    Row(IDC_ENA1, IDC_ENA1),
    Row(IDC_ENA2, IDC_ENA1),
    Row(IDC_ENA3, IDC_ENA1),
    Row(IDC_ENA4, IDC_ENA1),
    Row(IDC_ENA5, IDC_ENA1),
    Row(IDC_ENA6, IDC_ENA1),
    Row(IDC_ENA7, IDC_ENA1),
    Row(IDC_ENA8, IDC_ENA1),
    Row(IDC_GRP_ALL, IDC_GRP_ALL),
    Row(IDC_GRP1, IDC_GRP1),
    Row(IDC_GRP2, IDC_GRP1),
    Row(IDC_GRP3, IDC_GRP1),
    Row(IDC_GRP4, IDC_GRP1),
    Row(IDC_GRP5, IDC_GRP1),
    Row(IDC_GRP6, IDC_GRP1),
    Row(IDC_GRP7, IDC_GRP1),
    Row(IDC_GRP8, IDC_GRP1),
    Row(IDC_SET_ALL, IDC_SET_ALL),
    Row(IDC_SET1, IDC_SET1),
    Row(IDC_SET2, IDC_SET1),
    Row(IDC_SET3, IDC_SET1),
    Row(IDC_SET4, IDC_SET1),
    Row(IDC_SET5, IDC_SET1),
    Row(IDC_SET6, IDC_SET1),
    Row(IDC_SET7, IDC_SET1),
    Row(IDC_SET8, IDC_SET1),
    Row(IDC_SLIDER1, IDC_SLIDER1),
    Row(IDC_SLIDER2, IDC_SLIDER1),
    Row(IDC_SLIDER3, IDC_SLIDER1),
    Row(IDC_SLIDER4, IDC_SLIDER1),
    Row(IDC_SLIDER5, IDC_SLIDER1),
    Row(IDC_SLIDER6, IDC_SLIDER1),
    Row(IDC_SLIDER7, IDC_SLIDER1),
    Row(IDC_SLIDER8, IDC_SLIDER1),
    Row(IDC_PERCENT, IDC_PERCENT),
    Row(IDC_VALUE, IDC_VALUE),
    kEndOfTable,
};
// clang-format on
