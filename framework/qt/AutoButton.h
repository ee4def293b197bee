// CAutoButton: a check box or radio button whose state the dialog manager keeps. A click
// changes nothing by itself; the manager, told of the click, checks the box or selects the
// radio within its WS_GROUP group (not its Qt parent, nor a Qt button group).
//
// Threads: the GUI thread only.
#pragma once

template <class Button> class CAutoButton : public Button {
public:
    using Button::Button;

protected:
    void nextCheckState() override {}
};
