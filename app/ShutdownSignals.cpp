#include "ShutdownSignals.h"

#include "ShutdownRequests.h"

#include <QApplication>
#include <QDialog>
#include <QMetaObject>
#include <QTimer>
#include <QWhatsThis>
#include <QWidget>

#include <chrono>

namespace {
// Each window that closes returns its run to the one beneath it before the next can go, so
// closing goes one window per step until the console's run has ended.
constexpr std::chrono::milliseconds kCloseStep{10};

// Closes the innermost of what stands over the console, as Esc would; on the console itself
// that is Esc, which ends its run with IDCANCEL. A dialog of ours answers reject() exactly as
// it answers the Esc key.
void CloseInnermost()
{
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        return;
    }
    if (QWhatsThis::inWhatsThisMode()) {
        QWhatsThis::leaveWhatsThisMode();
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        dialog->reject();
}
} // namespace

class CShutdownSignals::CCloser : public QObject {
public:
    CCloser()
    {
        m_steps.setInterval(kCloseStep);
        QObject::connect(&m_steps, &QTimer::timeout, this, &CloseInnermost);
        // Queued to this object, so that the platform may call from a thread of its own.
        m_pListener = ListenForShutdownRequests([this] {
            QMetaObject::invokeMethod(
                this, [this] { Start(); }, Qt::QueuedConnection);
        });
    }

    ~CCloser() override
    {
        // The listener first: until it is gone it may still hand a request to this object.
        m_pListener.reset();
    }

private:
    void Start()
    {
        CloseInnermost();
        m_steps.start();
    }

    QTimer m_steps;
    std::unique_ptr<CShutdownListener> m_pListener;
};

CShutdownSignals::CShutdownSignals() : m_pCloser(std::make_unique<CCloser>()) {}

CShutdownSignals::~CShutdownSignals() = default;
