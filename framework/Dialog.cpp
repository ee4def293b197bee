#include "Dialog.h"

#include "WinApp.h"

#include <algorithm>
#include <vector>

namespace {
// Dialogs running modally, innermost last.
std::vector<CDialog*> g_modalDialogs;
// A dialog answers the help query with this base plus its template id.
constexpr std::uintptr_t kDialogHelpIdBase = 0x20000;
// A template that asks for a place of its own.
constexpr std::uint32_t kPlacedStyles = DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE;
} // namespace

std::pair<int, int> CentredOver(const ScreenRect& owner, const ScreenRect& workArea, int w, int h)
{
    int x = (owner.left + owner.right) / 2 - w / 2;
    int y = (owner.top + owner.bottom) / 2 - h / 2;
    x = std::max(std::min(x, workArea.right - w), workArea.left);
    y = std::max(std::min(y, workArea.bottom - h), workArea.top);
    return {x, y};
}

CDialog::CDialog(const DialogTemplate* tmpl)
    : m_nTemplateId(tmpl != nullptr ? tmpl->id : 0), m_pTemplate(tmpl)
{
}

CDialog::~CDialog() = default;

CDialog* CDialog::ActiveModal()
{
    return g_modalDialogs.empty() ? nullptr : g_modalDialogs.back();
}

std::uintptr_t CDialog::HelpContextId() const
{
    return kDialogHelpIdBase + static_cast<std::uintptr_t>(m_nTemplateId);
}

int CDialog::DoModal()
{
    CWindowSystem* system = AfxGetWindowSystem();
    if (system == nullptr || m_pTemplate == nullptr)
        return -1;
    std::unique_ptr<CWindowPeer> peer = system->CreateDialogWindow(*this, *m_pTemplate);
    if (!peer)
        return -1;
    m_pOwnedPeer = std::move(peer);
    // The owner: the dialog that runs now, else the main window (which the console is).
    const CWnd* owner = ActiveModal();
    if (owner == nullptr && AfxGetApp() != nullptr && AfxGetApp()->m_pMainWnd != this)
        owner = AfxGetApp()->m_pMainWnd;
    g_modalDialogs.push_back(this);
    const ScreenRect created = m_pOwnedPeer->GetWindowRect();
    Attach(*m_pOwnedPeer);
    if (PlacedByTemplate() && m_pOwnedPeer->GetWindowRect() == created)
        CentreOver(owner);
    const int result = m_pPeer->RunModalLoop();
    Detach();
    g_modalDialogs.erase(std::find(g_modalDialogs.begin(), g_modalDialogs.end(), this));
    m_pOwnedPeer.reset();
    return result;
}

bool CDialog::PlacedByTemplate() const
{
    return m_pTemplate->rect.x == 0 && m_pTemplate->rect.y == 0 &&
           (m_pTemplate->style & kPlacedStyles) == 0;
}

void CDialog::CentreOver(const CWnd* owner)
{
    const CWindowPeer* ownerPeer = owner != nullptr ? owner->GetPeer() : nullptr;
    const CWindowPeer& area = ownerPeer != nullptr ? *ownerPeer : *m_pPeer;
    const ScreenRect workArea = area.GetWorkAreaRect();
    const ScreenRect self = m_pPeer->GetWindowRect();
    const auto [x, y] = CentredOver(ownerPeer != nullptr ? ownerPeer->GetWindowRect() : workArea,
                                    workArea, self.Width(), self.Height());
    m_pPeer->MoveWindow(x, y);
}

bool CDialog::Attach(CWindowPeer& peer)
{
    m_pPeer = &peer;
    const bool focusDefault = SendMessage(WM_INITDIALOG) != 0;
    if (focusDefault && m_pPeer != nullptr)
        m_pPeer->FocusFirstTabStop();
    return true;
}

void CDialog::Detach()
{
    if (m_pPeer == nullptr)
        return;
    SendMessage(WM_DESTROY);
    m_pPeer = nullptr;
}

void CDialog::EndDialog(int result)
{
    if (m_pPeer != nullptr)
        m_pPeer->EndModalLoop(result);
}

bool CDialog::Exchange(bool bSaveAndValidate, ExchangeVoice voice)
{
    CDataExchange dx(this, bSaveAndValidate, voice);
    ++m_nExchangeDepth;
    DoDataExchange(&dx);
    --m_nExchangeDepth;
    if (!bSaveAndValidate)
        return true;
    m_nRefusedId = dx.Failed() ? dx.m_idLastControl : 0;
    // A box read and accepted has no refusal standing any more: the next one is news.
    for (int id : dx.EditControlsRead())
        if (!dx.Failed() || id != dx.m_idLastControl)
            m_shownRefusals.erase(id);
    return !dx.Failed();
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    return Exchange(bSaveAndValidate, ExchangeVoice::Speak);
}

bool CDialog::UpdateDataSilently()
{
    return Exchange(true, ExchangeVoice::Silent);
}

bool CDialog::UpdateDataUnlessShown()
{
    return Exchange(true, ExchangeVoice::SpeakUnseen);
}

bool CDialog::RefusalShown(int id, const std::string& boxText, const std::string& message) const
{
    const auto it = m_shownRefusals.find(id);
    return it != m_shownRefusals.end() && it->second.first == boxText &&
           it->second.second == message;
}

void CDialog::RememberRefusalShown(int id, const std::string& boxText, const std::string& message)
{
    m_shownRefusals[id] = {boxText, message};
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

const MessageMap* CDialog::GetMessageMap() const
{
    static const MessageMap map{
        CWnd::GetMessageMap(),
        {
            OnMessageEntry<CDialog>(
                WM_INITDIALOG,
                [](CDialog& d, const Msg&) -> std::intptr_t { return d.OnInitDialog() ? 1 : 0; }),
            OnCommandEntry<CDialog>(BN_CLICKED, IDOK, &CDialog::OnOK),
            OnCommandEntry<CDialog>(BN_CLICKED, IDCANCEL, &CDialog::OnCancel),
        }};
    return &map;
}

std::intptr_t CDialog::DefWindowProc(const Msg& msg)
{
    switch (msg.message) {
    case WM_SYSCOMMAND:
        // Close from the caption, Alt+F4 or the system menu asks the dialog to close.
        if ((msg.wParam & SC_COMMAND_MASK) == SC_CLOSE)
            return SendMessage(WM_CLOSE);
        // The caption's help button: the next click on a control asks for its help.
        if ((msg.wParam & SC_COMMAND_MASK) == SC_CONTEXTHELP && m_pPeer != nullptr)
            m_pPeer->EnterContextHelpMode();
        return 0;
    case WM_HELP: {
        // A dialog without help of its own asks the application's Help command, unless a
        // modifier key was held.
        const auto* info = reinterpret_cast<const HELPINFO*>(msg.lParam);
        CWinApp* app = AfxGetApp();
        if (info != nullptr && !info->bModifierHeld && app != nullptr && app->m_pMainWnd != nullptr)
            app->m_pMainWnd->SendMessage(WM_COMMAND, MakeWParam(ID_HELP, BN_CLICKED));
        return 1;
    }
    case WM_COMMAND:
        // A command no table answers goes on to the application object.
        if (LowWord(msg.wParam) == static_cast<unsigned>(ID_HELP) && AfxGetApp() != nullptr)
            AfxGetApp()->OnHelp();
        return 0;
    case WM_CLOSE:
        // A dialog closes as if cancelled, without asking.
        return SendMessage(WM_COMMAND, MakeWParam(IDCANCEL, BN_CLICKED));
    default:
        return CWnd::DefWindowProc(msg);
    }
}
