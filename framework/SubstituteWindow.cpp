#include "SubstituteWindow.h"

#include <algorithm>

CSubstituteWindow::CSubstituteWindow(const DialogTemplate& tmpl)
{
    m_controls.reserve(tmpl.controls.size());
    for (const ControlTemplate& control : tmpl.controls) {
        Control c;
        c.tmpl = &control;
        c.text = std::string(control.text);
        m_controls.push_back(c);
    }
    m_caption = std::string(tmpl.caption);
}

CSubstituteWindow::~CSubstituteWindow()
{
    if (m_pDialog != nullptr && m_pDialog->GetPeer() == this)
        m_pDialog->Detach();
}

void CSubstituteWindow::Open(CDialog& dialog)
{
    m_pDialog = &dialog;
    dialog.Attach(*this);
}

void CSubstituteWindow::Close()
{
    if (m_pDialog != nullptr)
        m_pDialog->Detach();
    m_pDialog = nullptr;
}

CSubstituteWindow::Control* CSubstituteWindow::Find(int id)
{
    if (id == -1)
        return nullptr;
    for (Control& control : m_controls)
        if (control.tmpl->id == id)
            return &control;
    return nullptr;
}

const CSubstituteWindow::Control* CSubstituteWindow::Find(int id) const
{
    return const_cast<CSubstituteWindow*>(this)->Find(id);
}

bool CSubstituteWindow::IsPushButton(const Control& control) const
{
    const auto kind = control.tmpl->style & BS_TYPEMASK;
    return control.tmpl->cls == ControlClass::Button &&
           (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON);
}

void CSubstituteWindow::Command(int id, unsigned code)
{
    if (m_pDialog != nullptr)
        m_pDialog->SendMessage(WM_COMMAND, MakeWParam(static_cast<unsigned>(id), code));
}

void CSubstituteWindow::Type(int id, const std::string& text)
{
    m_focusId = id;
    SetItemText(id, text);
}

void CSubstituteWindow::Click(int id)
{
    Control* control = Find(id);
    if (control == nullptr || control->tmpl->cls != ControlClass::Button)
        return;
    const auto kind = control->tmpl->style & BS_TYPEMASK;
    if (kind == BS_AUTOCHECKBOX) {
        control->check = control->check != 0 ? 0 : 1;
    } else if (kind == BS_AUTORADIOBUTTON) {
        // An automatic radio clears the other radios of its group (WS_GROUP to WS_GROUP).
        const auto at = static_cast<std::size_t>(control - m_controls.data());
        std::size_t first = at;
        while (first > 0 && (m_controls[first].tmpl->style & WS_GROUP) == 0)
            --first;
        for (std::size_t i = first; i < m_controls.size(); ++i) {
            if (i != first && (m_controls[i].tmpl->style & WS_GROUP) != 0)
                break;
            if ((m_controls[i].tmpl->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
                m_controls[i].tmpl->cls == ControlClass::Button)
                m_controls[i].check = i == at ? 1 : 0;
        }
    }
    m_focusId = id;
    Command(id, BN_CLICKED);
}

void CSubstituteWindow::MoveFader(int id, int pos, unsigned code)
{
    Control* control = Find(id);
    if (control == nullptr || control->tmpl->cls != ControlClass::Trackbar)
        return;
    m_focusId = id;
    control->pos = std::clamp(pos, control->rangeMin, control->rangeMax);
    if (m_pDialog != nullptr)
        m_pDialog->SendMessage(WM_VSCROLL, MakeWParam(code, static_cast<unsigned>(control->pos)),
                               id);
}

void CSubstituteWindow::PressEnter()
{
    if (const Control* focused = Find(m_focusId); focused != nullptr && IsPushButton(*focused)) {
        Command(m_focusId, BN_CLICKED);
        return;
    }
    for (const Control& control : m_controls)
        if (control.tmpl->cls == ControlClass::Button &&
            (control.tmpl->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            Command(control.tmpl->id, BN_CLICKED);
            return;
        }
}

void CSubstituteWindow::PressEscape()
{
    Command(IDCANCEL, BN_CLICKED);
}

void CSubstituteWindow::SystemCommand(unsigned command)
{
    if (m_pDialog != nullptr)
        m_pDialog->SendMessage(WM_SYSCOMMAND, command);
}

void CSubstituteWindow::PressF1(bool modifierHeld)
{
    HELPINFO info;
    info.iCtrlId = m_focusId;
    info.bModifierHeld = modifierHeld;
    if (m_pDialog != nullptr)
        m_pDialog->SendMessage(WM_HELP, 0, reinterpret_cast<std::intptr_t>(&info));
}

void CSubstituteWindow::RightClick(std::uintptr_t target)
{
    if (m_pDialog != nullptr)
        m_pDialog->SendMessage(WM_CONTEXTMENU, target);
}

void CSubstituteWindow::HelpModeClick(int id)
{
    if (!m_helpMode) {
        Click(id);
        return;
    }
    m_helpMode = false;
    HELPINFO info;
    info.iCtrlId = id;
    if (m_pDialog != nullptr)
        m_pDialog->SendMessage(WM_HELP, 0, reinterpret_cast<std::intptr_t>(&info));
}

void CSubstituteWindow::AdvanceClock(unsigned milliseconds)
{
    const std::uint64_t until = m_nowMillis + milliseconds;
    for (;;) {
        auto next = std::min_element(m_timers.begin(), m_timers.end(),
                                     [](auto& a, auto& b) { return a.second.due < b.second.due; });
        if (next == m_timers.end() || next->second.due > until)
            break;
        m_nowMillis = next->second.due;
        next->second.due += next->second.period;
        if (m_pDialog != nullptr)
            m_pDialog->SendMessage(WM_TIMER, next->first);
    }
    // A handler's message box may have moved the clock on already; time never runs back.
    m_nowMillis = std::max(m_nowMillis, until);
}

bool CSubstituteWindow::AllTextSelected(int id) const
{
    const Control* control = Find(id);
    return control != nullptr && control->allSelected;
}

std::string CSubstituteWindow::TextAt(int index) const
{
    return m_controls.at(static_cast<std::size_t>(index)).text;
}

std::string CSubstituteWindow::ToolTipAt(int index)
{
    if (m_pDialog != nullptr)
        m_pDialog->SendMessage(WM_TOOLTIP_SHOWING, static_cast<std::uintptr_t>(index));
    return m_controls.at(static_cast<std::size_t>(index)).toolTip;
}

int CSubstituteWindow::TrackbarTicFreq(int id) const
{
    const Control* control = Find(id);
    return control != nullptr ? control->ticFreq : 0;
}

std::pair<int, int> CSubstituteWindow::TrackbarRange(int id) const
{
    const Control* control = Find(id);
    return control != nullptr ? std::pair{control->rangeMin, control->rangeMax} : std::pair{0, 0};
}

std::string CSubstituteWindow::GetItemText(int id) const
{
    const Control* control = Find(id);
    return control != nullptr ? control->text : std::string();
}

void CSubstituteWindow::SetItemText(int id, const std::string& text)
{
    Control* control = Find(id);
    if (control == nullptr)
        return;
    control->text = text;
    control->allSelected = false;
    // An edit box reports every change of its text, also one made by the program.
    if (control->tmpl->cls == ControlClass::Edit)
        Command(id, EN_CHANGE);
}

int CSubstituteWindow::GetCheck(int id) const
{
    const Control* control = Find(id);
    return control != nullptr ? control->check : 0;
}

void CSubstituteWindow::SetCheck(int id, int state)
{
    if (Control* control = Find(id))
        control->check = state;
}

int CSubstituteWindow::GetTrackbarPos(int id) const
{
    const Control* control = Find(id);
    return control != nullptr ? control->pos : 0;
}

void CSubstituteWindow::SetTrackbarPos(int id, int pos)
{
    if (Control* control = Find(id))
        control->pos =
            std::clamp(pos, control->rangeMin, std::max(control->rangeMin, control->rangeMax));
}

void CSubstituteWindow::SetTrackbarRangeMin(int id, int minimum)
{
    if (Control* control = Find(id)) {
        control->rangeMin = minimum;
        control->pos = std::max(control->pos, minimum);
    }
}

void CSubstituteWindow::SetTrackbarRangeMax(int id, int maximum)
{
    if (Control* control = Find(id)) {
        control->rangeMax = maximum;
        control->pos = std::min(control->pos, maximum);
    }
}

void CSubstituteWindow::SetTrackbarTicFreq(int id, int frequency)
{
    if (Control* control = Find(id))
        control->ticFreq = frequency;
}

void CSubstituteWindow::FocusItem(int id)
{
    m_focusId = id;
}

void CSubstituteWindow::SelectAllText(int id)
{
    if (Control* control = Find(id))
        control->allSelected = true;
}

void CSubstituteWindow::SetTextAt(int index, const std::string& text)
{
    m_controls.at(static_cast<std::size_t>(index)).text = text;
}

void CSubstituteWindow::SetToolTipAt(int index, const std::string& text)
{
    m_controls.at(static_cast<std::size_t>(index)).toolTip = text;
}

void CSubstituteWindow::MoveWindow(int x, int y)
{
    const int w = m_window.Width();
    const int h = m_window.Height();
    m_window = {x, y, x + w, y + h};
}

void CSubstituteWindow::FocusFirstTabStop()
{
    for (const Control& control : m_controls)
        if ((control.tmpl->style & WS_TABSTOP) != 0) {
            m_focusId = control.tmpl->id;
            return;
        }
}

unsigned CSubstituteWindow::SetTimer(unsigned id, unsigned milliseconds)
{
    if (id == 0 || milliseconds == 0)
        return 0;
    m_timers[id] = Timer{milliseconds, m_nowMillis + milliseconds};
    return id;
}

bool CSubstituteWindow::KillTimer(unsigned id)
{
    return m_timers.erase(id) != 0;
}

int CSubstituteWindow::MessageBox(const std::string& text, const std::string& caption,
                                  unsigned flags)
{
    m_boxes.push_back({text, caption, flags});
    if (m_onMessageBox)
        m_onMessageBox(text);
    return IDOK;
}

int CSubstituteWindow::RunModalLoop()
{
    m_modalEnded = false;
    if (m_modalScript)
        m_modalScript(*this);
    return m_modalEnded ? m_modalResult : IDCANCEL;
}

void CSubstituteWindow::EndModalLoop(int result)
{
    m_modalResult = result;
    m_modalEnded = true;
}

std::unique_ptr<CWindowPeer> CSubstituteWindowSystem::CreateDialogWindow(CDialog& dialog,
                                                                         const DialogTemplate& tmpl)
{
    auto window = std::make_unique<CSubstituteWindow>(tmpl);
    window->m_modalScript = [this, id = tmpl.id, &dialog](CSubstituteWindow& w) {
        (void)dialog;
        if (m_modalScript)
            m_modalScript(w, id);
    };
    m_createdTemplates.push_back(tmpl.id);
    window->Bind(dialog);
    return window;
}
