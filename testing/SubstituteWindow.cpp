#include "SubstituteWindow.h"

#include <algorithm>

CSubstituteWindow::CSubstituteWindow(const DialogTemplate& tmpl) : CDialogManager(tmpl, nullptr)
{
    m_controls.reserve(tmpl.controls.size());
    for (const ControlTemplate& control : tmpl.controls) {
        Control c;
        c.text = std::string(control.text);
        m_controls.push_back(c);
    }
    m_caption = std::string(tmpl.caption);
}

CSubstituteWindow::~CSubstituteWindow()
{
    ReleaseDialog();
}

void CSubstituteWindow::Open(CDialog& dialog)
{
    CDialogManager::Bind(&dialog);
    dialog.Attach(*this);
}

void CSubstituteWindow::Close()
{
    if (Dialog() != nullptr)
        Dialog()->Detach();
    CDialogManager::Bind(nullptr);
}

void CSubstituteWindow::Type(int id, const std::string& text)
{
    const int index = IndexOf(id);
    if (index < 0)
        return;
    m_focusIndex = index;
    ShowText(index, text);
    OnTextEdited(index);
}

void CSubstituteWindow::Click(int id)
{
    const int index = IndexOf(id);
    if (index < 0 ||
        Template().controls[static_cast<std::size_t>(index)].cls != ControlClass::Button)
        return;
    if (TakesInput())
        m_focusIndex = index;
    OnButtonClicked(index);
}

void CSubstituteWindow::MoveFader(int id, int pos, unsigned code)
{
    const int index = IndexOf(id);
    if (index < 0 ||
        Template().controls[static_cast<std::size_t>(index)].cls != ControlClass::Trackbar)
        return;
    if (TakesInput())
        m_focusIndex = index;
    OnFaderMoved(index, pos, code);
}

void CSubstituteWindow::ReleaseFader(int id)
{
    const int index = IndexOf(id);
    OnFaderScroll(index, SB_THUMBPOSITION);
    OnFaderScroll(index, SB_ENDSCROLL);
}

int CSubstituteWindow::FocusedId() const
{
    return m_focusIndex >= 0 ? Template().controls[static_cast<std::size_t>(m_focusIndex)].id : 0;
}

void CSubstituteWindow::RightClick(std::uintptr_t target)
{
    Send(WM_CONTEXTMENU, target);
}

void CSubstituteWindow::HelpModeClick(int id)
{
    if (!m_helpMode) {
        Click(id);
        return;
    }
    m_helpMode = false;
    OnHelp(IndexOf(id), false);
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
        Send(WM_TIMER, next->first);
    }
    // A handler's message box may have moved the clock on already; time never runs back.
    m_nowMillis = std::max(m_nowMillis, until);
}

bool CSubstituteWindow::AllTextSelected(int id) const
{
    const int index = IndexOf(id);
    return index >= 0 && At(index).allSelected;
}

std::string CSubstituteWindow::TextAt(int index) const
{
    return At(index).text;
}

std::string CSubstituteWindow::ToolTipAt(int index)
{
    OnToolTipShowing(index);
    return At(index).toolTip;
}

int CSubstituteWindow::TrackbarTicFreq(int id) const
{
    const int index = IndexOf(id);
    return index >= 0 ? At(index).ticFreq : 0;
}

std::pair<int, int> CSubstituteWindow::TrackbarRange(int id) const
{
    const int index = IndexOf(id);
    return index >= 0 ? std::pair{At(index).rangeMin, At(index).rangeMax} : std::pair{0, 0};
}

void CSubstituteWindow::ShowText(int index, const std::string& text)
{
    At(index).text = text;
    At(index).allSelected = false;
}

void CSubstituteWindow::ShowFaderRange(int index, int minimum, int maximum, int)
{
    At(index).rangeMin = minimum;
    At(index).rangeMax = maximum;
}

void CSubstituteWindow::MoveWindow(int x, int y)
{
    const int w = m_window.Width();
    const int h = m_window.Height();
    m_window = {x, y, x + w, y + h};
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

int CSubstituteWindow::ShowMessageBox(const std::string& text, const std::string& caption,
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
