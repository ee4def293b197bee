// The data exchange between a dialog's controls and its members. In the members direction
// every helper validates; the first failure marks the exchange failed and returns false, and
// the caller stops there. Unless the exchange's voice keeps it quiet, the failure shows its
// message and puts the focus (and, for an edit box, the selection of all its text) on the
// offending control.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDialog;
class CSliderCtrl;

// Whether a refusal is shown to the operator.
enum class ExchangeVoice {
    Speak,       // always: the exchange answers an action of the operator's
    SpeakUnseen, // only a refusal the operator has not been shown yet (same box, same text)
    Silent,      // never; the focus stays where it is
};

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate, ExchangeVoice voice = ExchangeVoice::Speak)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate), m_voice(voice)
    {
    }

    // Remembers the control being exchanged, for the focus after a failure.
    void PrepareEditCtrl(int id);
    void PrepareCtrl(int id);
    // Refuses the last control with `message`: shows it as the voice allows, then focuses (and
    // selects) that control when it was shown, and marks the exchange failed.
    void Refuse(const std::string& message);
    bool Failed() const { return m_bFailed; }
    // The edit boxes this exchange read, in order; after a failure the last is the one refused.
    const std::vector<int>& EditControlsRead() const { return m_editsRead; }

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
    ExchangeVoice m_voice;
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;

private:
    bool m_bFailed = false;
    std::vector<int> m_editsRead;
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
