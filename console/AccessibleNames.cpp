#include "console/AccessibleNames.h"

#include "res/Resource.h"
#include "res/Strings.h"

#include <array>

namespace {

// What the number in a name counts.
enum class Numbered {
    No,
    Channel, // the DMX channel of the control's column: base + column
    Port,    // the COM number: 1 + place in the group
};

// A row: the controls of one kind, the name's text, and what its number counts.
struct NameRow {
    const int* ids;
    std::size_t count;
    unsigned textId;
    Numbered numbered;
};

constexpr std::array<int, 1> kBase{IDC_BASE_ADDR};
constexpr std::array<int, 1> kBaseUp{IDC_BASE_UP};
constexpr std::array<int, 1> kBaseDown{IDC_BASE_DOWN};
constexpr std::array<int, 1> kGroupAll{IDC_GRP_ALL};
constexpr std::array<int, 1> kEnableAll{IDC_ENA_ALL};

template <std::size_t N>
constexpr NameRow Row(const std::array<int, N>& ids, int textId, Numbered numbered)
{
    return {ids.data(), N, static_cast<unsigned>(textId), numbered};
}

// The one table of the console's accessible names.
constexpr std::array kNames{
    Row(kBase, IDS_NAME_BASE, Numbered::No),
    Row(kBaseUp, IDS_NAME_BASE_UP, Numbered::No),
    Row(kBaseDown, IDS_NAME_BASE_DOWN, Numbered::No),
    Row(kSliderIds, IDS_NAME_FADER, Numbered::Channel),
    Row(kLevelIds, IDS_NAME_LEVEL, Numbered::Channel),
    Row(kSetIds, IDS_NAME_SET, Numbered::Channel),
    Row(kGrpIds, IDS_NAME_GROUP, Numbered::Channel),
    Row(kEnaIds, IDS_NAME_ENABLE, Numbered::Channel),
    Row(kComIds, IDS_NAME_PORT, Numbered::Port),
    Row(kGroupAll, IDS_NAME_GROUP_ALL, Numbered::No),
    Row(kEnableAll, IDS_NAME_ENABLE_ALL, Numbered::No),
};

} // namespace

std::string AccessibleName(int controlId, std::uint32_t base)
{
    for (const NameRow& row : kNames)
        for (std::size_t i = 0; i < row.count; ++i) {
            if (row.ids[i] != controlId)
                continue;
            switch (row.numbered) {
            case Numbered::No:
                return LoadResString(row.textId);
            case Numbered::Channel:
                // As the channel labels show it, also for a refused base.
                return FormatResString(row.textId,
                                       static_cast<int>(base + static_cast<unsigned>(i)));
            case Numbered::Port:
                return FormatResString(row.textId, static_cast<int>(i) + 1);
            }
        }
    return {};
}
