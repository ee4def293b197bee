// CQtControlFactory: builds a template's controls as Qt widgets, one builder per control
// class, each at its template rectangle and wired to report the operator's input to the
// window peer by template index.
//
// Threads: the GUI thread only.
#pragma once

#include "QtDialogUnits.h"
#include "framework/DialogTemplate.h"

class CQtDialogWindow;
class QStyle;
class QWidget;

class CQtControlFactory {
public:
    // `window` becomes every control's parent; `checkStyle` (kept alive by the caller) draws
    // check boxes and radio buttons.
    CQtControlFactory(CQtDialogWindow& peer, QWidget* window, QStyle* checkStyle,
                      const BaseUnits& base);

    // The widget for the control at template index `index`.
    QWidget* Create(const ControlTemplate& control, int index) const;

private:
    QWidget* CreateEdit(const ControlTemplate& control, int index) const;
    QWidget* CreateButton(const ControlTemplate& control, int index) const;
    QWidget* CreateStatic(const ControlTemplate& control, int index) const;
    QWidget* CreateTrackbar(const ControlTemplate& control, int index) const;
    // What every control gets: place, focus, stacking, id, events for the window.
    void Place(QWidget* widget, const ControlTemplate& control) const;

    CQtDialogWindow& m_peer;
    QWidget* m_pWindow;
    QStyle* m_pCheckStyle;
    BaseUnits m_base;
};
