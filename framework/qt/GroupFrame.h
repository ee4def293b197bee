// CGroupFrame: a group box, an etched frame through the middle of its caption. It only draws;
// the controls it frames are its siblings, and the mouse goes through it to them.
//
// Threads: the GUI thread only.
#pragma once

#include <QString>
#include <QWidget>

class CGroupFrame : public QWidget {
public:
    explicit CGroupFrame(QWidget* parent);
    void SetTitle(const QString& title);
    const QString& Title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
};
