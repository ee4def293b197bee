#include "SliderCtrl.h"

#include "Wnd.h"

int CSliderCtrl::GetPos() const
{
    return IsAttached() && m_pParent->GetPeer() != nullptr
               ? m_pParent->GetPeer()->GetTrackbarPos(m_nID)
               : 0;
}

void CSliderCtrl::SetPos(int pos)
{
    if (IsAttached() && m_pParent->GetPeer() != nullptr)
        m_pParent->GetPeer()->SetTrackbarPos(m_nID, pos);
}

void CSliderCtrl::SetRangeMin(int minimum, bool /*redraw*/)
{
    if (IsAttached() && m_pParent->GetPeer() != nullptr)
        m_pParent->GetPeer()->SetTrackbarRangeMin(m_nID, minimum);
}

void CSliderCtrl::SetRangeMax(int maximum, bool /*redraw*/)
{
    if (IsAttached() && m_pParent->GetPeer() != nullptr)
        m_pParent->GetPeer()->SetTrackbarRangeMax(m_nID, maximum);
}

void CSliderCtrl::SetTicFreq(int frequency)
{
    if (IsAttached() && m_pParent->GetPeer() != nullptr)
        m_pParent->GetPeer()->SetTrackbarTicFreq(m_nID, frequency);
}
