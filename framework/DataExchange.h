// The data exchange between a dialog's controls and its members. In the members direction
// every helper validates; the first failure shows its message, puts the focus (and, for an
// edit box, the selection of all its text) on the offending control, marks the exchange
// failed and returns false, and the caller stops there.
#pragma once

#include <cstdint>

class CDialog;
class CSliderCtrl;

class CDataExchange {
public:
    // A silent exchange fails and stops as any other, but shows no message and leaves the
    // focus where it is.
    CDataExchange(CDialog* dialog, bool saveAndValidate, bool silent = false)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate), m_bSilent(silent)
    {
    }

    // Remembers the control being exchanged, for the focus after a failure.
    void PrepareEditCtrl(int id);
    void PrepareCtrl(int id);
    // Focuses (and selects) the last control and marks the exchange failed.
    void Fail();
    bool Failed() const { return m_bFailed; }

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
    bool m_bSilent;
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;

private:
    bool m_bFailed = false;
};

// Binds the slider object to its control the first time; afterwards nothing.
void DDX_Control(CDataExchange* pDX, int id, CSliderCtrl& control);
// Number boxes: "%u" and "%d", parsed by the number-box rules when saving.
bool DDX_Text(CDataExchange* pDX, int id, std::uint32_t& value);
bool DDX_Text(CDataExchange* pDX, int id, std::int32_t& value);
bool DDV_MinMaxUInt(CDataExchange* pDX, std::uint32_t value, std::uint32_t minimum,
                    std::uint32_t maximum);
bool DDV_MinMaxInt(CDataExchange* pDX, std::int32_t value, std::int32_t minimum,
                   std::int32_t maximum);
// Check boxes: 0 or 1.
void DDX_Check(CDataExchange* pDX, int id, std::int32_t& value);
// A radio group from `firstId` up to the next control with WS_GROUP, in template order: the
// index of the selected radio button, or -1 when none is.
void DDX_Radio(CDataExchange* pDX, int firstId, std::int32_t& value);
