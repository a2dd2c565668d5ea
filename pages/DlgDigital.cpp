#include "DlgDigital.h"

#include "ControlPlacement.h"
#include "PanelMessages.h"
#include "Settings.h"

#include <windowsx.h>

namespace {
constexpr model::ByLanguage<UINT> kBackgrounds{IDB_DIGITAL_BG_TC, IDB_DIGITAL_BG_SC, IDB_DIGITAL_BG_EN};

constexpr ControlPlacement kPlacements[] = {
    {IDC_DIGITAL_SWITCH_LAMP, 35, 44},
    {IDC_DIGITAL_OUT_SWITCH, 53, 42},
    {IDC_DIGITAL_RATE_SELECTOR, 495, 114},
    {IDC_DIGITAL_SELECTOR_LAMP, 535, 184},
};
} // namespace

std::optional<CDlgDigital::OutputSetting> CDlgDigital::SettingFor(int storedValue)
{
    switch (storedValue) {
    case 0:
        return OutputSetting{false, 0, 0};
    case 1: // lower left
        return OutputSetting{true, 0, 2};
    case 2: // upper left
        return OutputSetting{true, 1, 1};
    case 3: // upper right
        return OutputSetting{true, 2, 0x40};
    case 4: // lower right
        return OutputSetting{true, 3, 0x80};
    default:
        return std::nullopt;
    }
}

int CDlgDigital::RateChoiceAt(const RECT& selector, int x, int y)
{
    const int cx = selector.left + (selector.right - selector.left) / 2;
    const int cy = selector.top + (selector.bottom - selector.top) / 2;
    if (x < cx && y > cy)
        return 1;
    if (x < cx && y < cy)
        return 2;
    if (x > cx && y < cy)
        return 3;
    if (x > cx && y > cy)
        return 4;
    return 0;
}

BOOL CDlgDigital::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    BindControls();
    DeferPictureLoading(m_hWnd); // until the page is first shown or prepared
    m_card = nullptr;
    CMSUP_GetInterface(&m_card);
    SetBackgroundId(IDB_DIGITAL_BG_TC);
    ApplySkinWhenShown(*this); // created hidden: its picture is decoded when it first shows
    PlaceControls();
    LoadPictures();
    ApplyStoredState();
    LoadPicturesWhenShown();
    return TRUE;
}

void CDlgDigital::OnPicturesDue()
{
    m_pageColumn.LoadBitmaps();
    LoadDeferredPictures(m_hWnd);
}

void CDlgDigital::BindControls()
{
    m_outputSwitch.SubclassDlgItem(IDC_DIGITAL_OUT_SWITCH, m_hWnd);
    m_switchLamp.SubclassDlgItem(IDC_DIGITAL_SWITCH_LAMP, m_hWnd);
    m_rateSelector.SubclassDlgItem(IDC_DIGITAL_RATE_SELECTOR, m_hWnd);
    m_selectorLamp.SubclassDlgItem(IDC_DIGITAL_SELECTOR_LAMP, m_hWnd);
    m_pageColumn.Bind(*this, model::Page::Digital);
    SetControlsDpi();
}

void CDlgDigital::SetControlsDpi()
{
    for (CMyStaticBmp* picture : {&m_outputSwitch, &m_switchLamp, &m_rateSelector, &m_selectorLamp})
        picture->SetDpi(GetDpi());
}

void CDlgDigital::PlaceControls()
{
    PlaceControlTable(*this, kPlacements);
}

void CDlgDigital::OnDpiChanged()
{
    // The rate quarters follow the selector's rectangle.
    SetControlsDpi();
    PlaceControls();
    m_pageColumn.Setup();
}

void CDlgDigital::LoadPictures()
{
    m_pageColumn.Place(); // its bitmaps come with the other pictures

    m_outputSwitch.SetStateBitmaps(IDB_DIGITAL_SWITCH_ON, IDB_DIGITAL_SWITCH_OFF);
    m_switchLamp.SetStateBitmaps(IDB_DIGITAL_LAMP_ON, IDB_DIGITAL_LAMP_OFF);
    m_selectorLamp.SetStateBitmaps(IDB_DIGITAL_SELECTOR_LAMP_ON, IDB_DIGITAL_SELECTOR_LAMP_OFF);
    m_outputSwitch.SetState(false);
    m_switchLamp.SetState(false);
    m_selectorLamp.SetState(false);

    const UINT rates[4] = {IDB_DIGITAL_RATE_CD, IDB_DIGITAL_RATE_THEATRE, IDB_DIGITAL_RATE_HIFI,
                           IDB_DIGITAL_RATE_PROFESSIONAL};
    m_rateSelector.SetPictureList(rates, 0);
}

void CDlgDigital::ApplyStoredState()
{
    const std::optional<OutputSetting> setting = SettingFor(settings::Read(settings::kDigitalOutput));
    if (!setting)
        return; // not a value this page wrote: leave page and card alone
    m_outputSwitch.SetState(setting->on);
    m_switchLamp.SetState(setting->on);
    m_selectorLamp.SetState(setting->on);
    m_rateSelector.m_currentIndex = setting->selectorIndex;
    m_rateSelector.ShowPicture(setting->selectorIndex);
    CMSUP_SetSpdifStatus(m_card, setting->spdifStatus);
}

void CDlgDigital::StoreAndApply(int value)
{
    // The subkey is the installer's; without it the choice is not kept and the
    // page shows what the store holds.
    settings::Write(settings::kDigitalOutput, value);
    ApplyStoredState();
}

void CDlgDigital::OnLButtonDown(POINT pt)
{
    if (PointOnControl(m_hWnd, m_outputSwitch.m_hWnd, pt)) {
        // Each picture flips by itself; switching on starts at the lower left.
        m_outputSwitch.SetState(!m_outputSwitch.GetState());
        m_switchLamp.SetState(!m_switchLamp.GetState());
        m_selectorLamp.SetState(!m_selectorLamp.GetState());
        StoreAndApply(m_outputSwitch.GetState() ? 1 : 0);
        return;
    }
    const RECT selectorRect = ControlRectOnPage(m_hWnd, m_rateSelector.m_hWnd);
    if (::PtInRect(&selectorRect, pt)) {
        if (!m_outputSwitch.GetState())
            return;
        const int choice = RateChoiceAt(selectorRect, pt.x, pt.y);
        if (choice != 0)
            StoreAndApply(choice);
        return;
    }
    StartWindowDrag();
}

BOOL CDlgDigital::PreTranslateMessage(MSG* msg)
{
    return msg->message == WM_KEYDOWN;
}

bool CDlgDigital::OnCommand(UINT id)
{
    return m_pageColumn.OnCommand(id);
}

LRESULT CDlgDigital::OnSetLanguage(LPARAM language)
{
    ApplyLanguageSkin(*this, language, kBackgrounds);
    return 0;
}

LRESULT CDlgDigital::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
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
