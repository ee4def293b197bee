#include "DialogManager.h"

#include "Dialog.h"

#include <algorithm>

namespace {

bool IsButton(ControlKind kind)
{
    return kind == ControlKind::PushButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::Radio;
}

} // namespace

CDialogManager::CDialogManager(const DialogTemplate& tmpl, CDialog* dialog)
    : m_tmpl(tmpl), m_pDialog(dialog), m_faders(tmpl.controls.size()),
      m_accessible(tmpl.controls.size())
{
}

int CDialogManager::IndexOf(int id) const
{
    return m_tmpl.IndexOf(id);
}

bool CDialogManager::Valid(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < m_tmpl.controls.size();
}

ControlKind CDialogManager::Kind(int index) const
{
    return KindOf(m_tmpl.controls[static_cast<std::size_t>(index)]);
}

void CDialogManager::ReleaseDialog()
{
    if (m_pDialog != nullptr && m_pDialog->GetPeer() == this)
        m_pDialog->Detach();
    m_pDialog = nullptr;
}

std::intptr_t CDialogManager::Send(std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam)
{
    if (m_pDialog == nullptr || m_pDialog->GetPeer() != this)
        return 0;
    return m_pDialog->SendMessage(message, wParam, lParam);
}

void CDialogManager::Command(int index, unsigned code)
{
    const int id = m_tmpl.controls[static_cast<std::size_t>(index)].id;
    Send(WM_COMMAND, MakeWParam(static_cast<unsigned>(id), code));
}

bool CDialogManager::TakesInput() const
{
    const CDialog* modal = CDialog::ActiveModal();
    return m_nBoxDepth == 0 && (modal == nullptr || modal == m_pDialog);
}

// Input.

bool CDialogManager::OnKey(DialogKey key)
{
    if (!TakesInput())
        return true;
    const int focus = FocusedIndex();
    switch (key) {
    case DialogKey::Tab:
    case DialogKey::BackTab: {
        const bool backward = key == DialogKey::BackTab;
        const int next = NextTabStop(focus, backward);
        if (next >= 0 && next != focus) {
            ShowFocus(next, backward ? FocusReason::BackTab : FocusReason::Tab);
            if (Kind(next) == ControlKind::Edit)
                ShowAllSelected(next);
        }
        return true;
    }
    case DialogKey::Enter:
        PressEnter();
        return true;
    case DialogKey::Escape:
        Send(WM_COMMAND, MakeWParam(IDCANCEL, BN_CLICKED));
        return true;
    default:
        break;
    }
    if (!Valid(focus))
        return false;
    if (Kind(focus) == ControlKind::Trackbar)
        return StepFader(focus, key);
    if (!IsButton(Kind(focus)))
        return false;
    switch (key) {
    case DialogKey::Up:
    case DialogKey::Left:
        MoveInGroup(focus, true);
        return true;
    case DialogKey::Down:
    case DialogKey::Right:
        MoveInGroup(focus, false);
        return true;
    default:
        return false;
    }
}

void CDialogManager::PressEnter()
{
    const int focus = FocusedIndex();
    if (Valid(focus) && Kind(focus) == ControlKind::PushButton) {
        if (CanFocus(focus))
            Command(focus, BN_CLICKED);
        return;
    }
    if (const int def = DefaultButton(); def >= 0) {
        if (CanFocus(def))
            Command(def, BN_CLICKED);
        return;
    }
    // No default button: the command a native dialog manager sends then.
    Send(WM_COMMAND, MakeWParam(IDOK, BN_CLICKED));
}

void CDialogManager::MoveInGroup(int from, bool backward)
{
    const ControlGroup group = GroupOf(m_tmpl, static_cast<std::size_t>(from));
    const auto count = static_cast<int>(group.end - group.first);
    const int offset = from - static_cast<int>(group.first);
    for (int step = 1; step < count; ++step) {
        const int i = static_cast<int>(group.first) +
                      (backward ? (offset + count - step) % count : (offset + step) % count);
        const ControlKind kind = Kind(i);
        if (kind == ControlKind::GroupBox || kind == ControlKind::Label ||
            kind == ControlKind::Icon || !CanFocus(i))
            continue;
        ShowFocus(i, backward ? FocusReason::BackTab : FocusReason::Tab);
        // Moving onto an automatic radio selects it, and it reports the click.
        if (kind == ControlKind::Radio && !ControlChecked(i)) {
            SelectRadio(i);
            Command(i, BN_CLICKED);
        }
        return;
    }
}

void CDialogManager::OnButtonClicked(int index)
{
    if (!Valid(index) || !IsButton(Kind(index)) || !TakesInput())
        return;
    if (Kind(index) == ControlKind::CheckBox)
        ShowChecked(index, !ControlChecked(index));
    else if (Kind(index) == ControlKind::Radio)
        SelectRadio(index);
    Command(index, BN_CLICKED);
}

void CDialogManager::SelectRadio(int index)
{
    const ControlGroup group = GroupOf(m_tmpl, static_cast<std::size_t>(index));
    for (auto i = static_cast<int>(group.first); i < static_cast<int>(group.end); ++i)
        if (Kind(i) == ControlKind::Radio)
            ShowChecked(i, i == index);
}

void CDialogManager::OnTextEdited(int index)
{
    if (!m_bWritingText && Valid(index) && Kind(index) == ControlKind::Edit)
        Command(index, EN_CHANGE);
}

void CDialogManager::OnFaderMoved(int index, int pos, unsigned code)
{
    if (!Valid(index) || Kind(index) != ControlKind::Trackbar || !TakesInput())
        return;
    const int clamped = m_faders[static_cast<std::size_t>(index)].Clamp(pos);
    if (clamped != ControlFaderPos(index))
        ShowFaderPos(index, clamped);
    ReportFader(index, code);
}

void CDialogManager::OnFaderScroll(int index, unsigned code)
{
    if (!Valid(index) || Kind(index) != ControlKind::Trackbar)
        return;
    if (code == SB_ENDSCROLL || code == SB_THUMBPOSITION)
        ReportFader(index, code);
    else
        OnFaderMoved(index, ControlFaderPos(index), code);
}

void CDialogManager::ReportFader(int index, unsigned code)
{
    const bool vertical = (m_tmpl.controls[static_cast<std::size_t>(index)].style & TBS_VERT) != 0;
    const bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
    const unsigned pos = thumb ? static_cast<unsigned>(ControlFaderPos(index)) : 0U;
    Send(vertical ? WM_VSCROLL : WM_HSCROLL, MakeWParam(code, pos),
         m_tmpl.controls[static_cast<std::size_t>(index)].id);
}

bool CDialogManager::StepFader(int index, DialogKey key)
{
    const int pos = ControlFaderPos(index);
    const std::optional<FaderStep> step = m_faders[static_cast<std::size_t>(index)].Step(key, pos);
    if (!step)
        return false;
    // A key that cannot move the thumb reports nothing but its release.
    if (step->target != pos) {
        ShowFaderPos(index, step->target);
        ReportFader(index, step->code);
    }
    return true;
}

void CDialogManager::OnCloseRequest()
{
    if (TakesInput())
        Send(WM_SYSCOMMAND, SC_CLOSE);
}

void CDialogManager::OnSystemCommand(unsigned id)
{
    if (TakesInput())
        Send(WM_SYSCOMMAND, id);
}

void CDialogManager::OnHelp(int index, bool modifierHeld)
{
    HELPINFO info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = Valid(index) ? m_tmpl.controls[static_cast<std::size_t>(index)].id : 0;
    info.bModifierHeld = modifierHeld;
    Send(WM_HELP, 0, reinterpret_cast<std::intptr_t>(&info));
}

void CDialogManager::OnContextMenu(int index, int x, int y)
{
    const int id = Valid(index) ? m_tmpl.controls[static_cast<std::size_t>(index)].id : -1;
    const std::uintptr_t target = id != -1 ? static_cast<std::uintptr_t>(id) : kContextMenuOnWindow;
    const auto packed =
        static_cast<std::intptr_t>(MakeWParam(static_cast<unsigned>(x), static_cast<unsigned>(y)));
    Send(WM_CONTEXTMENU, target, packed);
}

void CDialogManager::OnToolTipShowing(int index)
{
    if (Valid(index))
        Send(WM_TOOLTIP_SHOWING, static_cast<std::uintptr_t>(index));
}

// Rules a backend may ask about.

bool CDialogManager::IsTabStop(int index) const
{
    if (!Valid(index) || !CanFocus(index))
        return false;
    switch (Kind(index)) {
    case ControlKind::GroupBox:
    case ControlKind::Label:
    case ControlKind::Icon:
        return false;
    case ControlKind::Radio:
        return ControlChecked(index);
    default:
        return (m_tmpl.controls[static_cast<std::size_t>(index)].style & WS_TABSTOP) != 0;
    }
}

int CDialogManager::NextTabStop(int from, bool backward) const
{
    const auto count = static_cast<int>(m_tmpl.controls.size());
    if (count == 0)
        return -1;
    const int start = Valid(from) ? from : (backward ? 0 : count - 1);
    for (int step = 1; step <= count; ++step) {
        const int i = backward ? (start - step + count * 2) % count : (start + step) % count;
        if (IsTabStop(i))
            return i;
    }
    return -1;
}

int CDialogManager::DefaultButton() const
{
    for (std::size_t i = 0; i < m_tmpl.controls.size(); ++i) {
        const ControlTemplate& control = m_tmpl.controls[i];
        if (control.cls == ControlClass::Button &&
            (control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return static_cast<int>(i);
    }
    return -1;
}

int CDialogManager::FaderPageSize(int index) const
{
    return Valid(index) ? m_faders[static_cast<std::size_t>(index)].PageSize() : kFaderLineSize;
}

// CWindowPeer.

std::string CDialogManager::GetItemText(int id) const
{
    const int index = IndexOf(id);
    return Valid(index) ? ControlText(index) : std::string();
}

void CDialogManager::SetItemText(int id, const std::string& text)
{
    SetTextAt(IndexOf(id), text);
}

void CDialogManager::SetTextAt(int index, const std::string& text)
{
    if (!Valid(index))
        return;
    m_bWritingText = true;
    ShowText(index, text);
    m_bWritingText = false;
    // An edit box reports every write, also one that leaves the text as it was.
    if (Kind(index) == ControlKind::Edit)
        Command(index, EN_CHANGE);
}

int CDialogManager::GetCheck(int id) const
{
    const int index = IndexOf(id);
    if (!Valid(index) ||
        (Kind(index) != ControlKind::CheckBox && Kind(index) != ControlKind::Radio))
        return 0;
    return ControlChecked(index) ? 1 : 0;
}

void CDialogManager::SetCheck(int id, int state)
{
    const int index = IndexOf(id);
    if (Valid(index) && (Kind(index) == ControlKind::CheckBox || Kind(index) == ControlKind::Radio))
        ShowChecked(index, state != 0);
}

int CDialogManager::GetTrackbarPos(int id) const
{
    const int index = IndexOf(id);
    return Valid(index) && Kind(index) == ControlKind::Trackbar ? ControlFaderPos(index) : 0;
}

void CDialogManager::SetTrackbarPos(int id, int pos)
{
    const int index = IndexOf(id);
    if (!Valid(index) || Kind(index) != ControlKind::Trackbar)
        return;
    ShowFaderPos(index, m_faders[static_cast<std::size_t>(index)].Clamp(pos));
}

void CDialogManager::SetRange(int index, int minimum, int maximum)
{
    FaderRange& range = m_faders[static_cast<std::size_t>(index)];
    // The same range again changes nothing the control shows (a minimum of 0, the default).
    if (range.minimum == minimum && range.maximum == maximum)
        return;
    range = {minimum, maximum};
    ShowFaderRange(index, minimum, range.Highest(), range.PageSize());
    // The position stays where it was, clamped into the new range.
    const int pos = ControlFaderPos(index);
    if (const int clamped = range.Clamp(pos); clamped != pos)
        ShowFaderPos(index, clamped);
}

void CDialogManager::SetTrackbarRangeMin(int id, int minimum)
{
    const int index = IndexOf(id);
    if (Valid(index) && Kind(index) == ControlKind::Trackbar)
        SetRange(index, minimum, m_faders[static_cast<std::size_t>(index)].maximum);
}

void CDialogManager::SetTrackbarRangeMax(int id, int maximum)
{
    const int index = IndexOf(id);
    if (Valid(index) && Kind(index) == ControlKind::Trackbar)
        SetRange(index, m_faders[static_cast<std::size_t>(index)].minimum, maximum);
}

void CDialogManager::SetTrackbarTicFreq(int id, int frequency)
{
    const int index = IndexOf(id);
    if (Valid(index) && Kind(index) == ControlKind::Trackbar)
        ShowTicFrequency(index, frequency);
}

void CDialogManager::FocusItem(int id)
{
    if (const int index = IndexOf(id); Valid(index))
        ShowFocus(index, FocusReason::Other);
}

void CDialogManager::SelectAllText(int id)
{
    const int index = IndexOf(id);
    if (Valid(index) && Kind(index) == ControlKind::Edit)
        ShowAllSelected(index);
}

void CDialogManager::SetToolTipAt(int index, const std::string& text)
{
    if (Valid(index))
        ShowToolTip(index, text);
}

void CDialogManager::SetAccessibleNameAt(int index, const std::string& name)
{
    if (!Valid(index))
        return;
    m_accessible[static_cast<std::size_t>(index)].name = name;
    ShowAccessibleName(index, name);
}

void CDialogManager::SetAccessibleDescriptionAt(int index, const std::string& text)
{
    if (!Valid(index))
        return;
    m_accessible[static_cast<std::size_t>(index)].description = text;
    ShowAccessibleDescription(index, text);
}

void CDialogManager::SetLabelFor(int labelIndex, int controlIndex)
{
    if (Valid(labelIndex) && Valid(controlIndex) && Kind(labelIndex) == ControlKind::Label)
        ShowLabelFor(labelIndex, controlIndex);
}

void CDialogManager::SetFaderValueScale(int id, int top)
{
    const int index = IndexOf(id);
    if (!Valid(index) || Kind(index) != ControlKind::Trackbar)
        return;
    m_faders[static_cast<std::size_t>(index)].valueTop = std::max(top, 0);
    ShowFaderValueScale(index);
}

const std::string& CDialogManager::AccessibleNameAt(int index) const
{
    static const std::string none;
    return Valid(index) ? m_accessible[static_cast<std::size_t>(index)].name : none;
}

const std::string& CDialogManager::AccessibleDescriptionAt(int index) const
{
    static const std::string none;
    return Valid(index) ? m_accessible[static_cast<std::size_t>(index)].description : none;
}

int CDialogManager::FaderAccessibleTop(int index) const
{
    if (!Valid(index) || Kind(index) != ControlKind::Trackbar)
        return 0;
    return m_faders[static_cast<std::size_t>(index)].AccessibleTop();
}

int CDialogManager::FaderAccessibleValue(int index) const
{
    if (!Valid(index) || Kind(index) != ControlKind::Trackbar)
        return 0;
    return m_faders[static_cast<std::size_t>(index)].AccessibleValue(ControlFaderPos(index));
}

void CDialogManager::FocusFirstTabStop()
{
    const auto count = static_cast<int>(m_tmpl.controls.size());
    for (int i = 0; i < count; ++i)
        if (IsTabStop(i)) {
            ShowFocus(i, FocusReason::Tab);
            if (Kind(i) == ControlKind::Edit)
                ShowAllSelected(i);
            return;
        }
}

int CDialogManager::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    ++m_nBoxDepth;
    const int result = ShowMessageBox(text, caption, flags);
    --m_nBoxDepth;
    return result;
}
