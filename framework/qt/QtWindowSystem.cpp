#include "QtWindowSystem.h"

#include "QtDialogWindow.h"

#include <QApplication>

std::unique_ptr<CWindowPeer> CQtWindowSystem::CreateDialogWindow(CDialog& dialog,
                                                                 const DialogTemplate& tmpl)
{
    return std::make_unique<CQtDialogWindow>(dialog, tmpl, QApplication::activeModalWidget());
}
