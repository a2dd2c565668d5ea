// Bass and treble knobs (tone group 0), the room size and the environment
// effect of the Hifi page.
#include "ControlPlacement.h"
#include "DlgHifi.h"

#include "Settings.h"

void CDlgHifi::SetupKnobs()
{
    for (CRoundSliderCtrl* knob : {&m_trebleKnob, &m_bassKnob}) {
        knob->SetRange(0, model::kToneKnobMax, FALSE);
        knob->SetPos(0);
        knob->SetIndicatorRadius(7);
        knob->SetZeroAngle(220);
        knob->SetInverted(false);
        knob->SetDragByIndicatorOnly(false);
        knob->SetIndicatorColor(RGB(0, 0, 255));
        knob->SetIndicatorPressedColor(RGB(255, 0, 0));
        knob->SetDragLimit(hifi::kKnobDragLimit);
        knob->SetBackgroundBitmap(IDB_KNOB_FACE_SMALL);
        knob->SetCursorId(IDC_KNOB_CURSOR);
    }
}

void CDlgHifi::SetKnobs(const settings::HifiSettings& stored)
{
    // The trackbars clamp stored values to their range.
    m_trebleKnob.SetPos(stored.treble);
    m_bassKnob.SetPos(stored.bass);
}

LRESULT CDlgHifi::OnToneKnobMoved()
{
    settings::Write(settings::kTreble, m_trebleKnob.GetPos());
    settings::Write(settings::kBass, m_bassKnob.GetPos());
    const hifi::GainArray gains = hifi::BassTrebleGains(m_bassKnob.GetPos(), m_trebleKnob.GetPos());
    if (m_bassTrebleSwitch.GetState())
        SendEqGains(gains);
    return Default();
}

void CDlgHifi::OnRoomSelectorClick(POINT pt)
{
    const RECT rc = ControlRectOnPage(m_hWnd, m_roomSelector);
    const int size = hifi::RoomSizeAt(pt.y, rc.top, rc.bottom);
    if (size >= 0)
        settings::Write(settings::kRoomSize, size);
    ApplyHifiState();
}

void CDlgHifi::OnPreviousEnvironment()
{
    const int current = m_envDisplay.m_currentIndex;
    if (!m_envSwitch.GetState() || current <= 0)
        return;
    settings::Write(settings::kEnvironment, current - 1);
    ApplyHifiState();
}

void CDlgHifi::OnNextEnvironment()
{
    const int current = m_envDisplay.m_currentIndex;
    if (!m_envSwitch.GetState() || current >= model::kEnvironmentCount - 1)
        return;
    settings::Write(settings::kEnvironment, current + 1);
    ApplyHifiState();
}

void CDlgHifi::ApplyRoomSize(int size)
{
    // The picture and the card follow the stored size whatever the switches show.
    m_roomSelector.m_currentIndex = size;
    m_roomSelector.ShowPicture(size);
    CMSUP_SetRoomSize(m_card, size);
}

void CDlgHifi::ApplyEnvironment(int selector)
{
    const int32_t code = hifi::EnvironmentCode(selector);
    if (code >= 0)
        CMSUP_SetEnvMode(m_card, code);
}

void CDlgHifi::LoadEnvironmentPictures(model::Language language, int startIndex)
{
    static constexpr model::ByLanguage<UINT> kFirstPicture{IDB_HIFI_ENV_FIRST_TC, IDB_HIFI_ENV_FIRST_SC,
                                                           IDB_HIFI_ENV_FIRST_EN};
    UINT ids[model::kEnvironmentCount];
    for (int e = 0; e < model::kEnvironmentCount; ++e)
        ids[e] = kFirstPicture[language] + static_cast<UINT>(e);
    m_envDisplay.SetPictureList(ids, startIndex);
}
