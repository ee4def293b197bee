#include "Dialog.h"

#include "res/Templates.h"

CDialog::CDialog(int templateId)
    : m_nTemplateId(templateId), m_pTemplate(FindDialogTemplate(templateId))
{
}

CDialog::~CDialog() = default;

int CDialog::DoModal()
{
    CWindowSystem* system = AfxGetWindowSystem();
    if (system == nullptr || m_pTemplate == nullptr)
        return -1;
    std::unique_ptr<CWindowPeer> peer = system->CreateDialogWindow(*this, *m_pTemplate);
    if (!peer)
        return -1;
    m_pOwnedPeer = std::move(peer);
    Attach(*m_pOwnedPeer);
    const int result = m_pPeer->RunModalLoop();
    Detach();
    m_pOwnedPeer.reset();
    return result;
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

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    ++m_nExchangeDepth;
    DoDataExchange(&dx);
    --m_nExchangeDepth;
    return !dx.Failed();
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

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

const MessageMap* CDialog::GetMessageMap() const
{
    static const MessageMap map{
        CWnd::GetMessageMap(),
        {
            OnMessageEntry<CDialog>(WM_INITDIALOG,
                                    [](CDialog& d, const Msg&) -> std::intptr_t {
                                        return d.OnInitDialog() ? 1 : 0;
                                    }),
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
        return 0;
    case WM_CLOSE:
        // A dialog closes as if cancelled, without asking.
        return SendMessage(WM_COMMAND, MakeWParam(IDCANCEL, BN_CLICKED));
    default:
        return CWnd::DefWindowProc(msg);
    }
}
