// CQtWindowSystem: realises every dialog as a CQtDialogWindow, and lets the text caret stop
// blinking while nobody types (CCaretBlinkTimeout). Install it with AfxSetWindowSystem once a
// QApplication exists; it must outlive every dialog run.
//
// Threads: the GUI thread only.
#pragma once

#include "framework/WindowPeer.h"

#include <memory>

class CCaretBlinkTimeout;

class CQtWindowSystem : public CWindowSystem {
public:
    CQtWindowSystem();
    ~CQtWindowSystem() override;

    // A dialog created while another one runs stands over that one, as over its owner.
    std::unique_ptr<CWindowPeer> CreateDialogWindow(CDialog& dialog,
                                                    const DialogTemplate& tmpl) override;

private:
    std::unique_ptr<CCaretBlinkTimeout> m_pCaretBlink;
};
