// CAboutBox: names the program and its version. It runs entirely on the dialog defaults:
// OK and Enter end it with IDOK, Esc and the close button with IDCANCEL.
#pragma once

#include "framework/Dialog.h"

class CAboutBox : public CDialog {
public:
    CAboutBox();
    ~CAboutBox() override;
};
