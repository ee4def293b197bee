#include "Wnd.h"

#include "FrameworkStrings.h"
#include "HelpEngine.h"
#include "WinApp.h"

std::intptr_t CWnd::SendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const Msg msg{message, wParam, lParam};
    // While an exchange runs, the controls' own reports are taken as handled and run nothing.
    if ((message == WM_COMMAND || message == WM_NOTIFY) && SuppressingNotifications())
        return 0;

    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageMapEntry& entry : map->entries) {
            if (entry.message != message)
                continue;
            if (message == WM_COMMAND) {
                const int id = static_cast<int>(LowWord(wParam));
                if (entry.code != HighWord(wParam) || id < entry.firstId || id > entry.lastId)
                    continue;
            }
            return entry.handler(*this, msg);
        }
    }
    return DefWindowProc(msg);
}

const MessageMap* CWnd::GetMessageMap() const
{
    static const MessageMap map;
    return &map;
}

std::intptr_t CWnd::DefWindowProc(const Msg&)
{
    return 0;
}

void CWnd::SetDlgItemInt(int id, std::uint32_t value, bool bSigned)
{
    const std::string text =
        bSigned ? std::to_string(static_cast<std::int32_t>(value)) : std::to_string(value);
    SetDlgItemText(id, text);
}

void CWnd::SetDlgItemText(int id, const std::string& text)
{
    if (m_pPeer != nullptr)
        m_pPeer->SetItemText(id, text);
}

std::string CWnd::GetDlgItemText(int id) const
{
    return m_pPeer != nullptr ? m_pPeer->GetItemText(id) : std::string();
}

void CWnd::CheckDlgButton(int id, int state)
{
    if (m_pPeer != nullptr)
        m_pPeer->SetCheck(id, state);
}

int CWnd::IsDlgButtonChecked(int id) const
{
    return m_pPeer != nullptr ? m_pPeer->GetCheck(id) : 0;
}

void CWnd::CheckRadioButton(int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id)
        CheckDlgButton(id, id == checkId ? 1 : 0);
}

void CWnd::SetWindowText(const std::string& text)
{
    if (m_pPeer != nullptr)
        m_pPeer->SetCaption(text);
}

unsigned CWnd::SetTimer(unsigned id, unsigned milliseconds)
{
    return m_pPeer != nullptr ? m_pPeer->SetTimer(id, milliseconds) : 0;
}

bool CWnd::KillTimer(unsigned id)
{
    return m_pPeer != nullptr && m_pPeer->KillTimer(id);
}

int CWnd::MessageBox(const std::string& text, unsigned flags)
{
    if ((flags & MB_ICONMASK) == 0)
        flags |= MB_ICONEXCLAMATION;
    if (m_pPeer == nullptr)
        return IDOK;
    return m_pPeer->MessageBox(text, AfxGetAppTitle(), flags);
}

void CWnd::WinHelp(std::uintptr_t data, unsigned command)
{
    if (m_pPeer != nullptr)
        m_pPeer->CancelModes();
    if (!AfxGetHelpEngine().WinHelp(0, AfxGetHelpFilePath(), command, data))
        MessageBox(AfxLoadString(IDS_FAILED_TO_LAUNCH_HELP), MB_OK | MB_ICONEXCLAMATION);
}
