#include "DlgHp.h"

#include "ControlPlacement.h"
#include "PanelMessages.h"

#include <windowsx.h>

namespace {
constexpr model::ByLanguage<UINT> kBackgrounds{IDB_HP_BG_TC, IDB_HP_BG_SC, IDB_HP_BG_EN};

constexpr ControlPlacement kPlacements[] = {
    {IDC_HP_CROSSOVER, 108, 150},
    {IDC_HP_FLEX_BASS, 90, 53},
    {IDC_HP_SPEAKER_SIZE, 452, 125},
    {IDC_HP_IMPEDANCE, 596, 125},
};

// A card reading of 0 or 1 sets the picture; anything else leaves it on.
void ShowCardState(CMyStaticBmp& picture, int32_t value)
{
    if (value == 0 || value == 1)
        picture.SetState(value == 1);
}
} // namespace

uint32_t CDlgHp::ClampCrossover(uint32_t hertz)
{
    if (hertz < kCrossoverLowest)
        return kCrossoverLowest;
    if (hertz > kCrossoverHighest)
        return kCrossoverHighest;
    return hertz;
}

BOOL CDlgHp::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    BindControls();
    DeferPictureLoading(m_hWnd); // until the page is first shown or prepared
    SetBackgroundId(IDB_HP_BG_SC);
    ApplySkinWhenShown(*this); // created hidden: its picture is decoded when it first shows
    LoadPictures();
    m_card = nullptr;
    CMSUP_GetInterface(&m_card);
    ReadSwitches();
    SetupCrossoverSlider();
    ReadCrossover();
    PlaceControls();
    LoadPicturesWhenShown();
    return TRUE;
}

void CDlgHp::OnPicturesDue()
{
    m_pageColumn.LoadBitmaps();
    LoadDeferredPictures(m_hWnd);
}

void CDlgHp::ReadCard()
{
    ReadSwitches();
    ReadCrossover();
}

void CDlgHp::BindControls()
{
    m_crossoverSlider.SubclassDlgItem(IDC_HP_CROSSOVER, m_hWnd);
    m_speakerSize.SubclassDlgItem(IDC_HP_SPEAKER_SIZE, m_hWnd);
    m_impedance.SubclassDlgItem(IDC_HP_IMPEDANCE, m_hWnd);
    m_flexBass.SubclassDlgItem(IDC_HP_FLEX_BASS, m_hWnd);
    m_pageColumn.Bind(*this, model::Page::Hp);
    m_crossoverSlider.SetDpi(GetDpi());
    for (CMyStaticBmp* picture : {&m_speakerSize, &m_impedance, &m_flexBass})
        picture->SetDpi(GetDpi());
}

void CDlgHp::OnDpiChanged()
{
    m_crossoverSlider.SetDpi(GetDpi());
    for (CMyStaticBmp* picture : {&m_speakerSize, &m_impedance, &m_flexBass})
        picture->SetDpi(GetDpi());
    FitCrossoverSlot();
    PlaceControls();
    m_pageColumn.Setup();
}

void CDlgHp::LoadPictures()
{
    m_pageColumn.Place(); // its bitmaps come with the other pictures

    // The two levers mean opposite things: the speaker switch points down to
    // the floor-standing speakers, the impedance switch up to low impedance.
    m_speakerSize.SetStateBitmaps(IDB_LEVER_DOWN, IDB_LEVER_UP);
    m_impedance.SetStateBitmaps(IDB_LEVER_UP, IDB_LEVER_DOWN);
    m_flexBass.SetStateBitmaps(IDB_HP_FLEX_BASS_ON, IDB_HP_FLEX_BASS_OFF);
    m_speakerSize.SetState(true);
    m_impedance.SetState(true);
    m_flexBass.SetState(true);
}

void CDlgHp::ReadSwitches()
{
    // A value the card leaves unwritten is neither 0 nor 1 and changes nothing.
    constexpr int32_t kUnread = -1;
    if (m_card) {
        int32_t flexBass = kUnread;
        CMSUP_GetFlexBassState(m_card, &flexBass);
        ShowCardState(m_flexBass, flexBass);
    }
    int32_t large = kUnread;
    CMSUP_GetLargeSpeakers(m_card, 0, &large);
    ShowCardState(m_speakerSize, large);
    int32_t impedance = kUnread;
    CMSUP_GetImpedanceMode(m_card, &impedance);
    ShowCardState(m_impedance, impedance);
}

void CDlgHp::ReadCrossover()
{
    // The card's crossover is shown within the scale of the page; the clamped
    // value is not sent back until the user drags.
    int32_t reported = static_cast<int32_t>(m_crossover);
    CMSUP_GetCrossOverFrequency(m_card, &reported);
    m_crossover = ClampCrossover(static_cast<uint32_t>(reported));
    m_crossoverSlider.SetPos(static_cast<int32_t>(m_crossover));
}

void CDlgHp::SetupCrossoverSlider()
{
    m_crossoverSlider.SetChannelBitmaps(IDB_CROSSOVER_CHANNEL, 0);
    m_crossoverSlider.SetThumbBitmaps(IDB_BALANCE_THUMB, 0);
    m_crossoverSlider.SetVertical(false);
    m_crossoverSlider.SetMargins(0, 0, 0, 0);
    m_crossoverSlider.SetFitToBitmap(false);
    m_crossoverSlider.SetRange(0, static_cast<int32_t>(kCrossoverHighest));
    m_crossoverSlider.SetPos(150);
    FitCrossoverSlot();
}

void CDlgHp::FitCrossoverSlot()
{
    // The slot's template size depends on the dialog font; the slider draws
    // only its channel, so the slot is given exactly the channel's size.
    if (m_crossoverSlider.GetChannelWidth() > 0)
        m_crossoverSlider.SetWindowPos(nullptr, 0, 0, m_crossoverSlider.GetChannelWidth(),
                                       m_crossoverSlider.GetChannelHeight(),
                                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDlgHp::PlaceControls()
{
    PlaceControlTable(*this, kPlacements);
}

bool CDlgHp::TogglePictureAt(CMyStaticBmp& picture, POINT pt)
{
    if (!PointOnControl(m_hWnd, picture.m_hWnd, pt))
        return false;
    picture.SetState(!picture.GetState());
    return true;
}

void CDlgHp::OnLButtonDown(POINT pt)
{
    if (TogglePictureAt(m_speakerSize, pt))
        CMSUP_SetLargeSpeakers(m_card, 0, m_speakerSize.GetState() ? 1 : 0);
    if (TogglePictureAt(m_impedance, pt))
        CMSUP_SetImpedanceMode(m_card, m_impedance.GetState() ? 1 : 0);
    if (TogglePictureAt(m_flexBass, pt))
        CMSUP_SetFlexBassState(m_card, m_flexBass.GetState() ? 1 : 0);
    // Whatever was hit, keeping the button down moves the window.
    StartWindowDrag();
}

LRESULT CDlgHp::OnSliderTrack(WPARAM id)
{
    if (id != IDC_HP_CROSSOVER)
        return 0;
    // The drag may go below the page's scale, down to 0.
    m_crossover = static_cast<uint32_t>(m_crossoverSlider.GetPos()) & 0x7FFFFFFFu;
    CMSUP_SetCrossOverFrequency(m_card, static_cast<int32_t>(m_crossover));
    return 0;
}

BOOL CDlgHp::PreTranslateMessage(MSG* msg)
{
    return msg->message == WM_KEYDOWN;
}

bool CDlgHp::OnCommand(UINT id)
{
    return m_pageColumn.OnCommand(id);
}

LRESULT CDlgHp::OnSetLanguage(LPARAM language)
{
    // Unknown language numbers leave the page as it is, without a repaint.
    ApplyLanguageSkin(*this, language, kBackgrounds, false);
    return 0;
}

LRESULT CDlgHp::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_SLIDER_TRACK:
        return OnSliderTrack(wp);
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED && OnCommand(LOWORD(wp)))
            return 0;
        break;
    case WM_SET_LANGUAGE:
        return OnSetLanguage(lp);
    default:
        break;
    }
    return CSkinnedPage::WindowProc(msg, wp, lp);
}
