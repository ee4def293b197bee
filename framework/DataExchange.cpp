#include "DataExchange.h"

#include "Dialog.h"
#include "FrameworkStrings.h"
#include "NumberParse.h"
#include "SliderCtrl.h"
#include "TemplateControls.h"

#include <string>

namespace {

// "%1" and "%2" in a message replaced by the two bounds.
std::string FormatRange(const std::string& pattern, const std::string& low, const std::string& high)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            out += pattern[i + 1] == '1' ? low : high;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

bool FailWith(CDataExchange* pDX, const std::string& text)
{
    pDX->Refuse(text);
    return false;
}

} // namespace

void CDataExchange::PrepareEditCtrl(int id)
{
    m_idLastControl = id;
    m_bEditLastControl = true;
    if (m_bSaveAndValidate)
        m_editsRead.push_back(id);
}

void CDataExchange::PrepareCtrl(int id)
{
    m_idLastControl = id;
    m_bEditLastControl = false;
}

void CDataExchange::Refuse(const std::string& message)
{
    m_bFailed = true;
    const std::string boxText = m_pDlgWnd->GetDlgItemText(m_idLastControl);
    const bool show = m_voice == ExchangeVoice::Speak ||
                      (m_voice == ExchangeVoice::SpeakUnseen &&
                       !m_pDlgWnd->RefusalShown(m_idLastControl, boxText, message));
    if (!show)
        return;
    m_pDlgWnd->MessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    m_pDlgWnd->RememberRefusalShown(m_idLastControl, boxText, message);
    if (CWindowPeer* peer = m_pDlgWnd->GetPeer(); peer != nullptr && m_idLastControl != 0) {
        peer->FocusItem(m_idLastControl);
        if (m_bEditLastControl)
            peer->SelectAllText(m_idLastControl);
    }
}

void DDX_Control(CDataExchange* pDX, int id, CSliderCtrl& control)
{
    if (!control.IsAttached())
        control.Attach(pDX->m_pDlgWnd, id);
}

namespace {

// A number box in either direction; `parse` reads it by the box rules, `parseFailure` is the
// message for a text it refuses.
template <class T, class Parse>
bool ExchangeNumberBox(CDataExchange* pDX, int id, T& value, Parse parse, unsigned parseFailure)
{
    pDX->PrepareEditCtrl(id);
    CDialog& dlg = *pDX->m_pDlgWnd;
    if (!pDX->m_bSaveAndValidate) {
        const std::string text = std::to_string(value);
        if (dlg.GetDlgItemText(id) != text)
            dlg.SetDlgItemText(id, text);
        return true;
    }
    const auto parsed = parse(dlg.GetDlgItemText(id));
    if (!parsed)
        return FailWith(pDX, AfxLoadString(parseFailure));
    value = *parsed;
    return true;
}

} // namespace

bool DDX_Text(CDataExchange* pDX, int id, std::uint32_t& value)
{
    return ExchangeNumberBox(pDX, id, value, ParseUnsignedBox, IDS_PARSE_UINT);
}

bool DDX_Text(CDataExchange* pDX, int id, std::int32_t& value)
{
    return ExchangeNumberBox(pDX, id, value, ParseSignedBox, IDS_PARSE_INT);
}

bool DDV_MinMaxUInt(CDataExchange* pDX, std::uint32_t value, std::uint32_t minimum,
                    std::uint32_t maximum)
{
    if (!pDX->m_bSaveAndValidate || (value >= minimum && value <= maximum))
        return true;
    return FailWith(pDX, FormatRange(AfxLoadString(IDS_PARSE_INT_RANGE), std::to_string(minimum),
                                     std::to_string(maximum)));
}

bool DDV_MinMaxInt(CDataExchange* pDX, std::int32_t value, std::int32_t minimum,
                   std::int32_t maximum)
{
    if (!pDX->m_bSaveAndValidate || (value >= minimum && value <= maximum))
        return true;
    return FailWith(pDX, FormatRange(AfxLoadString(IDS_PARSE_INT_RANGE), std::to_string(minimum),
                                     std::to_string(maximum)));
}

void DDX_Check(CDataExchange* pDX, int id, std::int32_t& value)
{
    pDX->PrepareCtrl(id);
    CDialog& dlg = *pDX->m_pDlgWnd;
    if (pDX->m_bSaveAndValidate) {
        value = dlg.IsDlgButtonChecked(id) != 0 ? 1 : 0;
        return;
    }
    constexpr std::int32_t kIndeterminate = 2;
    dlg.CheckDlgButton(id, value >= 0 && value <= kIndeterminate ? value : 0);
}

void DDX_Radio(CDataExchange* pDX, int firstId, std::int32_t& value)
{
    pDX->PrepareCtrl(firstId);
    CDialog& dlg = *pDX->m_pDlgWnd;
    const DialogTemplate* tmpl = dlg.GetTemplate();
    if (tmpl == nullptr)
        return;
    const auto& controls = tmpl->controls;
    std::size_t at = 0;
    while (at < controls.size() && controls[at].id != firstId)
        ++at;

    if (pDX->m_bSaveAndValidate)
        value = -1;
    std::int32_t index = 0;
    const std::size_t end = GroupOf(*tmpl, at).end;
    for (std::size_t i = at; i < end; ++i) {
        if (KindOf(controls[i]) != ControlKind::Radio)
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (dlg.IsDlgButtonChecked(controls[i].id) != 0)
                value = index;
        } else {
            dlg.CheckDlgButton(controls[i].id, index == value ? 1 : 0);
        }
        ++index;
    }
}
