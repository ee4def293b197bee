// CDialog: a dialog built from a template, run modally or opened on a given window peer.
// It owns the data exchange (UpdateData / DoDataExchange) and, while an exchange runs,
// swallows its controls' notifications so that writing a control runs no handler.
//
// Threads: the window thread only.
#pragma once

#include "DataExchange.h"
#include "DialogTemplate.h"
#include "Wnd.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

// Where a window of size w x h goes to stand centred over `owner`, moved as little as needed
// to lie within `workArea` (its left and top edges win when it is larger).
std::pair<int, int> CentredOver(const ScreenRect& owner, const ScreenRect& workArea, int w, int h);

class CDialog : public CWnd {
public:
    // `tmpl` (the dialog's template, from the program's resources) outlives the dialog; a
    // dialog without one cannot run modally.
    explicit CDialog(const DialogTemplate* tmpl);
    ~CDialog() override;

    // Creates the window through the installed window system, initialises it, runs it until
    // EndDialog, destroys it. Returns the result, or -1 when the window cannot be created.
    // A dialog that its template places at 0, 0 without DS_ABSALIGN, DS_CENTER or
    // DS_CENTERMOUSE, and that its initialisation leaves where it is, opens centred over its
    // owner (the dialog running modally, else the application's main window) within the work
    // area of the owner's monitor; with no owner, within its own monitor's work area.
    int DoModal();
    // Opens the dialog on a window that someone else created and runs (tests, embedding):
    // attaches it and sends WM_INITDIALOG. Detach ends it: WM_DESTROY, then let go.
    bool Attach(CWindowPeer& peer);
    void Detach();
    bool IsAttached() const { return m_pPeer != nullptr; }

    void EndDialog(int result);
    // true: controls into members, validating; false: members into controls. Returns false
    // when a validation failed (the message was shown and the exchange stopped there).
    bool UpdateData(bool bSaveAndValidate = true);
    // The members direction without a word: a failure stops the exchange as usual but shows no
    // message and moves no focus. For reading the controls when nobody is at the keyboard's
    // end of it (closing).
    bool UpdateDataSilently();
    // The members direction for an exchange the operator did not ask for (a timer): it shows a
    // refusal only when the operator has not been shown that box's refusal of that text yet,
    // so one refusal gives one message.
    bool UpdateDataUnlessShown();
    // The control at which the last members-direction exchange stopped, or 0 when it ran to
    // its end.
    int RefusedControl() const { return m_nRefusedId; }
    // Whether the operator has been shown `message` refusing `boxText` in control `id`, and the
    // box has not been accepted since. For the exchange.
    bool RefusalShown(int id, const std::string& boxText, const std::string& message) const;
    void RememberRefusalShown(int id, const std::string& boxText, const std::string& message);
    // True while an exchange runs (including while it shows a validation message).
    bool InExchange() const { return m_nExchangeDepth > 0; }

    // The innermost dialog now running modally, or nullptr.
    static CDialog* ActiveModal();

    const DialogTemplate* GetTemplate() const { return m_pTemplate; }
    // The help topic a dialog names when help is asked while it is active.
    std::uintptr_t HelpContextId() const;

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    std::intptr_t DefWindowProc(const Msg& msg) override;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    const MessageMap* GetMessageMap() const override;
    bool SuppressingNotifications() const override { return InExchange(); }

private:
    bool Exchange(bool bSaveAndValidate, ExchangeVoice voice);
    bool PlacedByTemplate() const;
    void CentreOver(const CWnd* owner);

    int m_nTemplateId;
    const DialogTemplate* m_pTemplate;
    int m_nExchangeDepth = 0;
    int m_nRefusedId = 0;
    // By box: the text refused and the message the operator was shown for it.
    std::map<int, std::pair<std::string, std::string>> m_shownRefusals;
    std::unique_ptr<CWindowPeer> m_pOwnedPeer;
};
