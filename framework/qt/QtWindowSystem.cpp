#include "QtWindowSystem.h"

#include "CaretBlinkTimeout.h"
#include "QtDialogWindow.h"

#include <QApplication>

namespace {
// How long the caret blinks after the last key press or click (GTK's own default).
constexpr std::chrono::seconds kCaretBlinkFor{10};
} // namespace

CQtWindowSystem::CQtWindowSystem()
    : m_pCaretBlink(std::make_unique<CCaretBlinkTimeout>(kCaretBlinkFor))
{
}

CQtWindowSystem::~CQtWindowSystem() = default;

std::unique_ptr<CWindowPeer> CQtWindowSystem::CreateDialogWindow(CDialog& dialog,
                                                                 const DialogTemplate& tmpl)
{
    return std::make_unique<CQtDialogWindow>(dialog, tmpl, QApplication::activeModalWidget());
}
