// CQtHelpDisplay: shows what the help engine asks for with Qt: a control's pop-up topic as a
// "What's This?" bubble, the one-entry menu at the mouse, and a small help window for topics
// opened by number.
//
// Threads: the GUI thread only.
#pragma once

#include "framework/HelpEngine.h"

#include <QDialog>
#include <QLabel>
#include <QPointer>

class QWidget;

// Control widgets carry their dialog control id in this property, so that help can find the
// control it is asked about in the active window.
constexpr const char* kControlIdProperty = "lumivaneControlId";

class CQtHelpDisplay : public CHelpDisplay {
public:
    CQtHelpDisplay();
    ~CQtHelpDisplay() override;
    CQtHelpDisplay(const CQtHelpDisplay&) = delete;
    CQtHelpDisplay& operator=(const CQtHelpDisplay&) = delete;

    void ShowPopup(int controlId, const std::string& text) override;
    bool OfferWhatsThis(int controlId) override;
    bool ShowTopic(const std::string& title, const std::string& text) override;
    void CloseTopicWindow() override;

    // The help window, while it is open (tests).
    QDialog* TopicWindow() const { return m_pTopicWindow.data(); }

    // The control with `controlId` in the active window, or that window itself.
    static QWidget* FindControl(int controlId);

private:
    QPointer<QDialog> m_pTopicWindow;
    QPointer<QLabel> m_pTopicTitle;
    QPointer<QLabel> m_pTopicText;
};
