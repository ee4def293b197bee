#include "QtHelpDisplay.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>
#include <QWhatsThis>

namespace {
constexpr int kTopicTextWidth = 360; // pixels; a short topic reads best in a narrow column
const char* const kWhatsThisEntry = "What's This?";
const char* const kHelpWindowCaption = "Lumivane Help";
} // namespace

CQtHelpDisplay::CQtHelpDisplay() = default;

CQtHelpDisplay::~CQtHelpDisplay()
{
    CloseTopicWindow();
}

QWidget* CQtHelpDisplay::FindControl(int controlId)
{
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr)
        window = QApplication::activeWindow();
    if (window == nullptr)
        return nullptr;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        const QVariant id = child->property(kControlIdProperty);
        if (id.isValid() && id.toInt() == controlId)
            return child;
    }
    return window;
}

void CQtHelpDisplay::ShowPopup(int controlId, const std::string& text)
{
    QWidget* control = FindControl(controlId);
    // Beside the control, where the eye already is; at the mouse when there is none.
    const QPoint at = control != nullptr
                          ? control->mapToGlobal(QPoint(control->width() / 2, control->height()))
                          : QCursor::pos();
    QWhatsThis::showText(at, QString::fromStdString(text), control);
}

bool CQtHelpDisplay::OfferWhatsThis(int controlId)
{
    QMenu menu(FindControl(controlId));
    QAction* entry = menu.addAction(QString::fromLatin1(kWhatsThisEntry));
    return menu.exec(QCursor::pos()) == entry;
}

bool CQtHelpDisplay::ShowTopic(const std::string& title, const std::string& text)
{
    if (m_pTopicWindow.isNull()) {
        auto* window = new QDialog(QApplication::activeModalWidget(), Qt::Tool);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QString::fromLatin1(kHelpWindowCaption));
        auto* layout = new QVBoxLayout(window);
        m_pTopicTitle = new QLabel(window);
        QFont bold = m_pTopicTitle->font();
        bold.setBold(true);
        m_pTopicTitle->setFont(bold);
        m_pTopicText = new QLabel(window);
        m_pTopicText->setWordWrap(true);
        m_pTopicText->setFixedWidth(kTopicTextWidth);
        m_pTopicText->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
        QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
        layout->addWidget(m_pTopicTitle);
        layout->addWidget(m_pTopicText);
        layout->addWidget(buttons);
        m_pTopicWindow = window;
    }
    m_pTopicTitle->setText(QString::fromStdString(title));
    m_pTopicText->setText(QString::fromStdString(text));
    m_pTopicWindow->show();
    m_pTopicWindow->raise();
    return true;
}

void CQtHelpDisplay::CloseTopicWindow()
{
    if (!m_pTopicWindow.isNull())
        m_pTopicWindow->close();
}
