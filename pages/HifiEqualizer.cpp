// The Hifi page's equalizer side: the ten band sliders and their stored
// curve (tone group 3), the band reset, the region styles (tone group 1) and
// the built-in presets (tone group 2).
#include "DlgHifi.h"

#include "ControlPlacement.h"
#include "ResourceBitmap.h"
#include "Settings.h"

namespace {

// Pixel size of a bitmap resource at a scale, from its header; {0, 0} when
// it is missing.
SIZE BitmapSize(UINT id, UINT dpi)
{
    SIZE size{};
    return SkinBitmapSize(id, &size, dpi) ? size : SIZE{0, 0};
}

} // namespace

void CDlgHifi::FitPresetControlsToFaces()
{
    // The faces are drawn at the controls' size: make the controls as large
    // as their faces.
    const SIZE nameFace = BitmapSize(IDB_COMBO_FACE_EDIT, GetDpi());
    if (nameFace.cx > 0)
        m_nameBox.SetWindowPos(nullptr, 0, 0, nameFace.cx, nameFace.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE listFace = BitmapSize(IDB_COMBO_FACE_LIST, GetDpi());
    if (listFace.cx <= 0)
        return;
    // A drop-down list's window height is that of the opened list; the
    // closed field follows the selection field's item height.
    const int droppedListHeight = ScaleFigure(120, GetDpi());
    m_presetList.SetWindowPos(nullptr, 0, 0, listFace.cx, listFace.cy + droppedListHeight,
                              SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The field's frame is the system's: step the item height until the
    // field has its height or cannot get any closer. At 96 DPI it is 21
    // pixels high, two more than the face (which shows no more than itself);
    // every scale gives it that, scaled. The steps count from the height set
    // last, not from the one read back, which Wine gives two pixels more.
    constexpr int kFieldHeight = 21;
    const int fieldHeight = ScaleFigure(kFieldHeight, GetDpi());
    int itemHeight = static_cast<int>(m_presetList.SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(-1)));
    for (int attempt = 0; attempt < 4; ++attempt) {
        const RECT field = m_presetList.GetWindowRect();
        const int error = fieldHeight - (field.bottom - field.top);
        if (error == 0 || itemHeight + error <= 0)
            break;
        itemHeight += error;
        m_presetList.SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight);
    }
}

void CDlgHifi::SizeControls()
{
    // The knobs' template size, as 96 DPI gives it.
    SizeControl(*this, m_trebleKnob, 35, 32);
    SizeControl(*this, m_bassKnob, 35, 32);
    for (int i = 0; i < model::kBandCount; ++i) {
        // The slot takes the channel's size, so nothing of the control shows
        // beside or below the channel.
        const SIZE channel = BitmapSize(IDB_BAND_CHANNEL_FIRST + i, GetDpi());
        if (channel.cx > 0)
            m_bands[static_cast<size_t>(i)].SetWindowPos(nullptr, 0, 0, channel.cx, channel.cy,
                                                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CDlgHifi::SetupBandSliders()
{
    for (int i = 0; i < model::kBandCount; ++i) {
        CBitmapSlider& band = m_bands[static_cast<size_t>(i)];
        // The slot takes the channel's size, so nothing of the control shows
        // beside or below the channel.
        const SIZE channel = BitmapSize(IDB_BAND_CHANNEL_FIRST + i, GetDpi());
        if (channel.cx > 0)
            band.SetWindowPos(nullptr, 0, 0, channel.cx, channel.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        band.SetChannelBitmaps(IDB_BAND_CHANNEL_FIRST + i, IDB_BAND_CHANNEL_FIRST + i);
        band.SetThumbBitmaps(IDB_BAND_THUMB, IDB_BAND_THUMB);
        band.SetMargins(0, 0, 0, 0);
        band.SetVertical(true);
        band.SetRange(hifi::kSliderMin, hifi::kSliderMax);
        band.SetPos(0);
    }
}

hifi::GainArray CDlgHifi::SliderGains() const
{
    hifi::GainArray gains{};
    for (int i = 0; i < model::kBandCount; ++i)
        gains[static_cast<size_t>(i)] = -m_bands[static_cast<size_t>(i)].GetPos();
    return gains;
}

void CDlgHifi::LoadEqualizer(const settings::HifiSettings& stored)
{
    SetKnobs(stored);
    for (size_t i = 0; i < m_bands.size(); ++i)
        m_bands[i].SetPos(hifi::GainToSliderPos(stored.bands[i]));
    if (m_eqSwitch.GetState())
        SendEqGains(SliderGains());
}

LRESULT CDlgHifi::OnEqSliderMoved()
{
    const hifi::GainArray gains = SliderGains();
    settings::WriteBands(gains);
    if (m_eqSwitch.GetState())
        SendEqGains(gains);
    // A moved band is no longer the chosen user preset.
    if (settings::Read(settings::kCustomPresetChosen) != 0) {
        m_presetList.SetCurSel(-1);
        RepaintControlArea(m_presetList);
    }
    settings::Write(settings::kCustomPresetChosen, 0);
    return 1;
}

void CDlgHifi::OnBandReset()
{
    if (m_eqSwitch.GetState()) {
        for (CBitmapSlider& band : m_bands)
            band.SetPos(0);
        settings::WriteBands(hifi::GainArray{});
        OnEqSliderMoved();
    }
    ClearPresetChoice();
}

void CDlgHifi::ClearPresetChoice()
{
    settings::Write(settings::kCustomPresetChosen, 0);
    m_presetList.SetCurSel(-1);
    RepaintControlArea(m_presetList);
}

void CDlgHifi::ShowRegionStyle(int style)
{
    for (CMyStaticBmp& option : m_regionOptions)
        option.SetState(false);
    if (!m_regionSwitch.GetState())
        return;
    const hifi::GainArray* curve = hifi::RegionCurve(style);
    if (!curve)
        return;
    m_regionOptions[static_cast<size_t>(style)].SetState(true);
    SendEqGains(*curve);
}

void CDlgHifi::ShowEqPreset(int preset)
{
    for (CMyStaticBmp& cell : m_presetCells)
        cell.SetState(false);
    if (!m_presetSwitch.GetState())
        return;
    if (static_cast<unsigned>(preset) < static_cast<unsigned>(model::kPresetCount))
        m_presetCells[static_cast<size_t>(preset)].SetState(true);
    // The card holds the built-in curves; a stored number outside the grid is
    // still passed on.
    CMSUP_SetEQMode(m_card, preset);
}

void CDlgHifi::SendEqGains(const hifi::GainArray& gains)
{
    hifi::GainArray copy = gains;
    CMSUP_SetEQGain(m_card, copy.data());
}
