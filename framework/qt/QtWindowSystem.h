// CQtWindowSystem: realises every dialog as a CQtDialogWindow. Install it with
// AfxSetWindowSystem once a QApplication exists; it must outlive every dialog run.
//
// Threads: the GUI thread only.
#pragma once

#include "framework/WindowPeer.h"

class CQtWindowSystem : public CWindowSystem {
public:
    // A dialog created while another one runs stands over that one, as over its owner.
    std::unique_ptr<CWindowPeer> CreateDialogWindow(CDialog& dialog,
                                                    const DialogTemplate& tmpl) override;
};
