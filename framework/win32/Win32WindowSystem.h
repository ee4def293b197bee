// CWin32WindowSystem: realises every dialog as a native dialog (CWin32DialogWindow). Install
// it with AfxSetWindowSystem; it must outlive every dialog run.
//
// Threads: the window thread only.
#pragma once

#include "framework/WindowPeer.h"

class CWin32WindowSystem : public CWindowSystem {
public:
    // Registers the common controls' window classes (the trackbar, tooltips).
    CWin32WindowSystem();

    // A dialog created while another one runs stands over that one, as over its owner.
    // Null when the window cannot be created.
    std::unique_ptr<CWindowPeer> CreateDialogWindow(CDialog& dialog,
                                                    const DialogTemplate& tmpl) override;
};
