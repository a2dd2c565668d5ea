// The Main page: master and digital-output volume, mute and balance, the
// output switch and Reset. Volumes, mutes and the output choice live in the
// endpoints and the card; the page only shows and sets them.
#include "ControlPlacement.h"
#include "MainPageMath.h"
#include "ZephrinDlg.h"

namespace {

constexpr ControlPlacement kMainControls[] = {
    {IDC_MASTER_KNOB, 90, 109},     {IDC_DIGITAL_KNOB, 592, 130},   {IDC_MASTER_BALANCE, 200, 151},
    {IDC_DIGITAL_BALANCE, 555, 80}, {IDC_MASTER_MUTE, 92, 210},     {IDC_DIGITAL_MUTE, 580, 210},
    {IDC_OUTPUT_SWITCH, 433, 123},  {IDC_MAIN_RESET, 223, 100},
};

// Pixel sizes of the controls whose size the template cannot give exactly.
constexpr SIZE kMasterKnobSize{50, 50};
constexpr SIZE kDigitalKnobSize{30, 30};
constexpr int kBalanceWidth = 124;

constexpr int kKnobMin = 0;
constexpr int kKnobMax = 65;
constexpr int kKnobStart = 20;
constexpr int kKnobDragLimit = 50;
constexpr int kKnobZeroAngle = 220;
constexpr COLORREF kIndicator = RGB(0, 0, 255);
constexpr COLORREF kIndicatorPressed = RGB(255, 0, 0);

void Resize(CWnd& control, SIZE size)
{
    control.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetupKnob(CRoundSliderCtrl& knob, int indicatorRadius, UINT face)
{
    knob.SetRange(kKnobMin, kKnobMax, FALSE);
    knob.SetPos(kKnobStart);
    knob.SetDragLimit(kKnobDragLimit);
    knob.SetIndicatorRadius(indicatorRadius);
    knob.SetBackgroundBitmap(face);
    knob.SetZeroAngle(kKnobZeroAngle);
    knob.SetInverted(false);
    knob.SetDragByIndicatorOnly(false);
    knob.SetIndicatorColor(kIndicator);
    knob.SetIndicatorPressedColor(kIndicatorPressed);
    knob.SetCursorId(IDC_KNOB_CURSOR);
}

void SetupBalance(CBitmapSlider& slider, UINT channel)
{
    slider.SetChannelBitmaps(channel, channel);
    slider.SetThumbBitmaps(IDB_BALANCE_THUMB, IDB_BALANCE_THUMB);
    slider.SetMargins(0, 0, 0, 0);
    slider.SetVertical(false);
    slider.SetRange(0, 100);
    slider.SetPos(50);
}

void SetupToggle(CMyStaticBmp& toggle, UINT on, UINT off)
{
    toggle.SetStateBitmaps(on, off);
    toggle.SetState(true);
}

// The knob's range reaches 65 but full level is 50: a position past it (the
// wheel steps through the whole range) would ask the endpoint for more than
// full level, which it refuses while the knob showed the change. Such a
// position is brought back to full level.
int KnobWithinDragLimit(CRoundSliderCtrl& knob)
{
    int p = knob.GetPos();
    if (p > kKnobDragLimit) {
        p = kKnobDragLimit;
        knob.SetPos(p);
    }
    return p;
}

} // namespace

void CZephrinDlg::BindMainPageControls()
{
    m_knobMaster.SubclassDlgItem(IDC_MASTER_KNOB, m_hWnd);
    m_knobDigital.SubclassDlgItem(IDC_DIGITAL_KNOB, m_hWnd);
    m_muteMaster.SubclassDlgItem(IDC_MASTER_MUTE, m_hWnd);
    m_muteDigital.SubclassDlgItem(IDC_DIGITAL_MUTE, m_hWnd);
    m_balanceMaster.SubclassDlgItem(IDC_MASTER_BALANCE, m_hWnd);
    m_balanceDigital.SubclassDlgItem(IDC_DIGITAL_BALANCE, m_hWnd);
    m_btnReset.SubclassDlgItem(IDC_MAIN_RESET, m_hWnd);
    m_outputSwitch.SubclassDlgItem(IDC_OUTPUT_SWITCH, m_hWnd);
    SetMainPageDpi();
}

void CZephrinDlg::SetMainPageDpi()
{
    const UINT dpi = GetDpi();
    m_knobMaster.SetDpi(dpi);
    m_knobDigital.SetDpi(dpi);
    for (CMyStaticBmp* picture : {&m_muteMaster, &m_muteDigital, &m_outputSwitch})
        picture->SetDpi(dpi);
    // A balance slider fits its height to its channel at the new scale.
    m_balanceMaster.SetDpi(dpi);
    m_balanceDigital.SetDpi(dpi);
    m_btnReset.SetDpi(dpi);
}

void CZephrinDlg::SizeMainPageControls()
{
    const UINT dpi = GetDpi();
    Resize(m_knobMaster, ScaleFigure(kMasterKnobSize, dpi));
    Resize(m_knobDigital, ScaleFigure(kDigitalKnobSize, dpi));
    Resize(m_balanceMaster, SIZE{ScaleFigure(kBalanceWidth, dpi), m_balanceMaster.GetClientRect().bottom});
    Resize(m_balanceDigital, SIZE{ScaleFigure(kBalanceWidth, dpi), m_balanceDigital.GetClientRect().bottom});
}

void CZephrinDlg::OnDpiChanged()
{
    // The scale first: a knob resized for it keeps its dial.
    SetMainPageDpi();
    SizeMainPageControls();
    PlaceControlTable(*this, kMainControls);
    m_pageColumn.Setup();
}

void CZephrinDlg::SetupMainPage()
{
    PlaceControlTable(*this, kMainControls);
    SizeMainPageControls();

    m_btnReset.LoadBitmaps(IDB_RESET_NORMAL, IDB_RESET_PRESSED);
    m_btnReset.SizeToContent();

    SetupToggle(m_outputSwitch, IDB_LEVER_UP, IDB_LEVER_DOWN);
    SetupToggle(m_muteMaster, IDB_MASTER_MUTE_ON, IDB_MASTER_MUTE_OFF);
    SetupToggle(m_muteDigital, IDB_DIGITAL_MUTE_ON, IDB_DIGITAL_MUTE_OFF);
    m_output = model::OutputSwitch::Headphones;
    m_masterMuted = m_digitalMuted = true;

    m_balanceMaster.SetFitToBitmap(true);
    SetupBalance(m_balanceMaster, IDB_BALANCE_CHANNEL_MASTER);
    m_balanceDigital.SetFitToBitmap(true);
    SetupBalance(m_balanceDigital, IDB_BALANCE_CHANNEL_DIGITAL);
    SetupKnob(m_knobMaster, 10, IDB_KNOB_FACE_LARGE);
    SetupKnob(m_knobDigital, 7, IDB_KNOB_FACE_SMALL);
}

bool CZephrinDlg::ReadEndpointLevels(bool digital, float* left, float* right)
{
    *left = 0.0f;
    *right = 0.0f;
    if (!digital) {
        // Both reads are made, as the page has always made them.
        const bool leftRead = GetDefaultChannelVolume(0, left);
        const bool rightRead = GetDefaultChannelVolume(1, right);
        return leftRead && rightRead;
    }
    return SUCCEEDED(GetEndpointChannelVolume(m_endpoints.cardId, 0, left)) &&
           SUCCEEDED(GetEndpointChannelVolume(m_endpoints.cardId, 1, right));
}

void CZephrinDlg::SetEndpointLevels(bool digital, float left, float right, bool rightFirst)
{
    auto set = [&](UINT channel, float level) {
        if (digital)
            SetEndpointChannelVolume(m_endpoints.cardId, channel, level);
        else
            SetDefaultChannelVolume(channel, level);
    };
    if (rightFirst) {
        set(1, right);
        set(0, left);
    } else {
        set(0, left);
        set(1, right);
    }
}

void CZephrinDlg::RefreshToggles()
{
    RefreshMuteLamps();
    RefreshOutputSwitch();
}

void CZephrinDlg::RefreshMuteLamps()
{
    BOOL muted = m_masterMuted;
    GetDefaultMute(&muted);
    m_masterMuted = muted != FALSE;
    m_muteMaster.SetState(m_masterMuted);

    // While the card's endpoint is not (yet) found its lamp stays dark.
    muted = FALSE;
    if (FAILED(GetEndpointMute(m_endpoints.cardId, &muted)))
        muted = FALSE;
    m_digitalMuted = muted != FALSE;
    m_muteDigital.SetState(m_digitalMuted);
}

void CZephrinDlg::RefreshOutputSwitch()
{
    int32_t route = 0;
    CMSUP_GetSpkData(m_cardHandle, &route);
    m_output = model::OutputSwitchFromCard(route);
    m_outputSwitch.SetState(m_output == model::OutputSwitch::Headphones);
}

void CZephrinDlg::RefreshEndpointLevels(bool digital)
{
    CRoundSliderCtrl& knob = digital ? m_knobDigital : m_knobMaster;
    CBitmapSlider& balance = digital ? m_balanceDigital : m_balanceMaster;
    float left = 0.0f;
    float right = 0.0f;
    bool available = ReadEndpointLevels(digital, &left, &right);
    if (digital) {
        // Without the card's endpoint the digital group shows silence and
        // takes no input until the start-up scan finds it.
        knob.EnableWindow(available);
        balance.EnableWindow(available);
        if (!available)
            left = right = 0.0f;
    }
    KnobAndBalance shown = KnobForLevels(left, right);
    knob.SetPos(shown.knob);
    knob.Invalidate(FALSE);
    balance.SetPos(shown.balance);
    balance.Invalidate(FALSE);
}

void CZephrinDlg::RefreshLevels()
{
    RefreshEndpointLevels(false);
    RefreshEndpointLevels(true);
}

void CZephrinDlg::ApplyBalance(bool digital)
{
    CRoundSliderCtrl& knob = digital ? m_knobDigital : m_knobMaster;
    CBitmapSlider& balance = digital ? m_balanceDigital : m_balanceMaster;
    int b = balance.GetPos();
    ChannelLevels levels = LevelsForKnob(knob.GetPos(), b);
    SetEndpointLevels(digital, levels.left, levels.right, RightIsFullLevel(b));
}

void CZephrinDlg::OnKnobScroll(WPARAM, LPARAM lp)
{
    int b = m_balanceMaster.GetPos();
    HWND sender = reinterpret_cast<HWND>(lp);
    if (sender && sender == m_knobMaster.m_hWnd) {
        ChannelLevels levels = LevelsForKnob(KnobWithinDragLimit(m_knobMaster), b);
        SetEndpointLevels(false, levels.left, levels.right, RightIsFullLevel(b));
    } else if (sender && sender == m_knobDigital.m_hWnd) {
        // The digital knob sets both channels alike; only its balance slider
        // applies a balance.
        ChannelLevels levels = LevelsForKnob(KnobWithinDragLimit(m_knobDigital), 50);
        SetEndpointLevels(true, levels.left, levels.right, false);
    }
    Default();
}

LRESULT CZephrinDlg::OnSliderTrack(WPARAM wp, LPARAM)
{
    if (wp == IDC_MASTER_BALANCE)
        ApplyBalance(false);
    else if (wp == IDC_DIGITAL_BALANCE)
        ApplyBalance(true);
    return 0;
}

void CZephrinDlg::ResetBalance(bool digital)
{
    CBitmapSlider& balance = digital ? m_balanceDigital : m_balanceMaster;
    balance.SetPos(50);
    balance.Invalidate(FALSE);
    // An endpoint whose levels cannot be read (gone, never found, or open but
    // refusing the read) is left alone: there is no louder level to keep, and
    // setting the unread zeros would silence it.
    float left = 0.0f;
    float right = 0.0f;
    if (!ReadEndpointLevels(digital, &left, &right))
        return;
    float loudest = right >= left ? right : left;
    SetEndpointLevels(digital, loudest, loudest, false);
}

void CZephrinDlg::OnReset()
{
    ResetBalance(false);
    ResetBalance(true);
    // The page's background under both sliders, and the sliders over it.
    for (const CBitmapSlider* slider : {&m_balanceMaster, &m_balanceDigital}) {
        RECT rc = ControlRectOnPage(m_hWnd, slider->m_hWnd);
        ::RedrawWindow(m_hWnd, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void CZephrinDlg::OnMainLButtonDown(POINT pt)
{
    // After a mute change each lamp shows what the endpoint reads back, so a
    // lamp that showed the wrong state comes right with the first click.
    if (PointOnControl(m_hWnd, m_muteMaster.m_hWnd, pt)) {
        BOOL muted = !m_masterMuted;
        SetDefaultMute(muted);
        GetDefaultMute(&muted); // left as asked when it cannot be read
        m_masterMuted = muted != FALSE;
        m_muteMaster.SetState(m_masterMuted);
        return;
    }
    if (PointOnControl(m_hWnd, m_muteDigital.m_hWnd, pt)) {
        // The lamp only changes when the endpoint took the change: until the
        // card's endpoint is found (or after it went away) there is nothing
        // to mute and the lamp keeps what it shows.
        BOOL muted = !m_digitalMuted;
        if (SetEndpointMute(m_endpoints.cardId, muted) && SUCCEEDED(GetEndpointMute(m_endpoints.cardId, &muted))) {
            m_digitalMuted = muted != FALSE;
            m_muteDigital.SetState(m_digitalMuted);
        }
        return;
    }
    if (PointOnControl(m_hWnd, m_outputSwitch.m_hWnd, pt)) {
        m_output = m_output == model::OutputSwitch::Headphones ? model::OutputSwitch::Speakers
                                                                : model::OutputSwitch::Headphones;
        m_outputSwitch.SetState(m_output == model::OutputSwitch::Headphones);
        CMSUP_SetSpkData(m_cardHandle, model::Number(m_output));
    }
    StartWindowDrag();
}
