// CSliderCtrl: a trackbar of a dialog, bound to its control by the data exchange.
#pragma once

class CWnd;

class CSliderCtrl {
public:
    void Attach(CWnd* parent, int id)
    {
        m_pParent = parent;
        m_nID = id;
    }
    bool IsAttached() const { return m_pParent != nullptr; }
    int GetDlgCtrlID() const { return m_nID; }

    // Positions are clamped by the control; setting one raises no notification.
    int GetPos() const;
    void SetPos(int pos);
    void SetRangeMin(int minimum, bool redraw);
    void SetRangeMax(int maximum, bool redraw);
    void SetTicFreq(int frequency);

private:
    CWnd* m_pParent = nullptr;
    int m_nID = 0;
};
