// The dialog manager's contract on Qt widgets, driven through QTest as the operator drives them.
#include "framework/qt/QtDialogWindow.h"
#include "framework/qt/QtHelpDisplay.h"
#include "framework/qt/QtWindowSystem.h"
#include "tests/DialogManagerContract.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

constexpr int kWaitMs = 5000;
constexpr int kPollMs = 10;
constexpr int kDragValues = 40;

class QtDriver {
public:
    explicit QtDriver(const DialogTemplate& tmpl) : m_tmpl(tmpl) {}
    ~QtDriver() { AfxSetWindowSystem(nullptr); }
    void Open(CDialog& dialog)
    {
        m_window = std::make_unique<CQtDialogWindow>(dialog, m_tmpl);
        dialog.Attach(*m_window);
        m_window->Widget()->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window->Widget()));
    }
    CWindowPeer& Peer() { return *m_window; }
    void Key(DialogKey key)
    {
        QWidget* target = m_window->Widget()->focusWidget();
        const auto modifier = key == DialogKey::BackTab ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::keyClick(target != nullptr ? target : m_window->Widget(), QtKey(key), modifier);
    }
    void Click(int id) { QTest::mouseClick(m_window->Control(id), Qt::LeftButton); }
    void Type(int id, const char* text)
    {
        auto* box = qobject_cast<QLineEdit*>(m_window->Control(id));
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QString::fromLatin1(text));
    }
    // Through the slider's own drag, which a modal box does not hold back as it holds the mouse.
    void DragFader(int id)
    {
        auto* fader = qobject_cast<QSlider*>(m_window->Control(id));
        fader->setSliderDown(true);
        // The vertical fader's values run up from its bottom.
        fader->setSliderPosition(fader->sliderPosition() - kDragValues);
        fader->setSliderDown(false);
    }
    void PressClose() { m_window->Widget()->close(); }
    int FocusedId() const
    {
        const QWidget* focus = m_window->Widget()->focusWidget();
        return focus != nullptr ? focus->property(kControlIdProperty).toInt() : 0;
    }
    bool AllTextSelected(int id) const
    {
        const auto* box = qobject_cast<QLineEdit*>(m_window->Control(id));
        return box != nullptr && box->hasSelectedText() && box->selectedText() == box->text();
    }
    // Polls from inside the box's loop; presses OK once the step is done or time is up.
    void DuringNextBox(std::function<bool()> step)
    {
        m_poll = std::make_unique<QTimer>();
        m_deadline = QDeadlineTimer(kWaitMs);
        QObject::connect(m_poll.get(), &QTimer::timeout, [this, step] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible())
                return;
            if (step() || m_deadline.hasExpired()) {
                m_poll->stop();
                box->button(QMessageBox::Ok)->click();
            }
        });
        m_poll->start(kPollMs);
    }

    void DuringNextModal(std::function<bool()> step)
    {
        AfxSetWindowSystem(&m_windows);
        m_poll = std::make_unique<QTimer>();
        m_deadline = QDeadlineTimer(kWaitMs);
        QObject::connect(m_poll.get(), &QTimer::timeout, [this, step] {
            QWidget* other = QApplication::activeModalWidget();
            if (other == nullptr || other == m_window->Widget() || !other->isVisible())
                return;
            if (step() || m_deadline.hasExpired()) {
                m_poll->stop();
                QTest::keyClick(other, Qt::Key_Escape);
            }
        });
        m_poll->start(kPollMs);
    }

private:
    static Qt::Key QtKey(DialogKey key)
    {
        switch (key) {
        case DialogKey::Tab:
        case DialogKey::BackTab:
            return Qt::Key_Tab;
        case DialogKey::Enter:
            return Qt::Key_Return;
        case DialogKey::Escape:
            return Qt::Key_Escape;
        case DialogKey::Up:
            return Qt::Key_Up;
        case DialogKey::Down:
            return Qt::Key_Down;
        case DialogKey::Left:
            return Qt::Key_Left;
        case DialogKey::Right:
            return Qt::Key_Right;
        case DialogKey::PageUp:
            return Qt::Key_PageUp;
        case DialogKey::PageDown:
            return Qt::Key_PageDown;
        case DialogKey::Home:
            return Qt::Key_Home;
        case DialogKey::End:
            return Qt::Key_End;
        }
        return Qt::Key_unknown;
    }

    const DialogTemplate& m_tmpl;
    CQtWindowSystem m_windows;
    std::unique_ptr<CQtDialogWindow> m_window;
    std::unique_ptr<QTimer> m_poll;
    QDeadlineTimer m_deadline;
};

} // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, DialogManagerContract, QtDriver);
} // namespace contract
