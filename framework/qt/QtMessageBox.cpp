#include "QtMessageBox.h"

#include "framework/WinDefs.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon MessageIcon(unsigned flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int ShowQtMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                     unsigned flags)
{
    QMessageBox box(MessageIcon(flags), QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}
