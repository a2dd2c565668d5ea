#include "DlgHifi.h"

#include "ControlPlacement.h"
#include "PanelMessages.h"
#include "Settings.h"

#include <windowsx.h>

namespace {

using model::ToneGroup;

constexpr model::ByLanguage<UINT> kBackgrounds{IDB_HIFI_BG_TC, IDB_HIFI_BG_SC, IDB_HIFI_BG_EN};

constexpr int kRegionOptionIds[model::kRegionStyleCount] = {IDC_HIFI_REGION_0, IDC_HIFI_REGION_1, IDC_HIFI_REGION_2,
                                                            IDC_HIFI_REGION_3, IDC_HIFI_REGION_4};
constexpr int kRegionOptionY[model::kRegionStyleCount] = {111, 138, 167, 195, 223};

// Cell positions by grid column and row.
constexpr int kCellColumnX[3] = {386, 480, 570};
constexpr int kCellRowY[4] = {106, 128, 150, 172};
// Grid row of each preset number's cell.
constexpr int kPresetCellRow[model::kPresetCount] = {0, 1, 2, 2, 3, 0, 1, 3, 0, 1, 2, 3};
constexpr UINT kCellOn[3] = {IDB_HIFI_CELL1_ON, IDB_HIFI_CELL2_ON, IDB_HIFI_CELL3_ON};
constexpr UINT kCellOff[3] = {IDB_HIFI_CELL1_OFF, IDB_HIFI_CELL2_OFF, IDB_HIFI_CELL3_OFF};

constexpr UINT kRoomPictures[4] = {IDB_HIFI_ROOM_LIVING, IDB_HIFI_ROOM_ENTERTAINMENT, IDB_HIFI_ROOM_BEDROOM,
                                   IDB_HIFI_ROOM_LIVING};

void SetupTwoState(CMyStaticBmp& picture, UINT onId, UINT offId)
{
    picture.SetStateBitmaps(onId, offId);
    picture.SetState(false);
}

void SetupButton(CBitmapButton& button, UINT normalId, UINT pressedId)
{
    button.LoadBitmaps(normalId, pressedId);
    button.SizeToContent();
}

} // namespace

// ---------------------------------------------------------------------------
// Start-up

BOOL CDlgHifi::OnInitDialog()
{
    CSkinnedPage::OnInitDialog();
    BindControls();
    DeferPictureLoading(m_hWnd); // until the page is first shown or prepared

    m_card = nullptr;
    CMSUP_GetInterface(&m_card);

    SetBackgroundId(IDB_HIFI_BG_TC);
    ApplySkinWhenShown(*this); // created hidden: its picture is decoded when it first shows

    PlaceControls();
    SetupPictures();
    // The knobs take their size before their indicator: their dial is then
    // made as at 96 DPI, where the template gives that size already.
    SizeControls();
    SetupKnobs();
    SetupBandSliders();

    ApplyHifiState();
    const settings::HifiSettings stored = settings::ReadHifi();
    LoadEqualizer(stored);

    const std::optional<ToneGroup> group = stored.toneGroup;
    if (group == ToneGroup::BassTreble || group == ToneGroup::RegionStyle || group == ToneGroup::BuiltInPreset)
        EnableCustomControls(false);
    if (group == ToneGroup::Equalizer) {
        settings::ListPresets(m_presetList);
        const int flagged = FindFlaggedPreset();
        if (stored.customPresetChosen) {
            m_presetList.SetCurSel(flagged);
            SelectCustomPreset();
        }
    }
    LoadPicturesWhenShown();
    return TRUE;
}

void CDlgHifi::OnPicturesDue()
{
    // The buttons and the preset controls' faces (and the sizes they give)
    // are the same in every language: set up once.
    if (!m_buttonsAndFacesSet) {
        m_buttonsAndFacesSet = true;
        SetupButtonsAndFaces();
    }
    m_pageColumn.LoadBitmaps();
    LoadDeferredPictures(m_hWnd);
}

void CDlgHifi::ReloadFromStore()
{
    // As at start-up, but the preset list is refilled whatever the tone
    // group, so it never shows a preset that is gone or misses a new one.
    ApplyHifiState();
    const settings::HifiSettings stored = settings::ReadHifi();
    LoadEqualizer(stored);
    const std::optional<ToneGroup> group = stored.toneGroup;
    if (group == ToneGroup::BassTreble || group == ToneGroup::RegionStyle || group == ToneGroup::BuiltInPreset)
        EnableCustomControls(false);
    if (group == ToneGroup::Equalizer)
        EnableCustomControls(true);
    settings::ListPresets(m_presetList);
    if (group == ToneGroup::Equalizer && stored.customPresetChosen) {
        m_presetList.SetCurSel(FindFlaggedPreset());
        SelectCustomPreset();
    }
    RepaintControlArea(m_presetList);
}

void CDlgHifi::BindControls()
{
    m_pageColumn.Bind(*this, model::Page::Hifi);
    m_master.SubclassDlgItem(IDC_HIFI_MASTER, m_hWnd);
    m_powerLight.SubclassDlgItem(IDC_HIFI_POWER_LIGHT, m_hWnd);
    m_bassTrebleSwitch.SubclassDlgItem(IDC_HIFI_BASSTREBLE_SWITCH, m_hWnd);
    m_trebleKnob.SubclassDlgItem(IDC_HIFI_TREBLE_KNOB, m_hWnd);
    m_bassKnob.SubclassDlgItem(IDC_HIFI_BASS_KNOB, m_hWnd);
    m_regionSwitch.SubclassDlgItem(IDC_HIFI_REGION_SWITCH, m_hWnd);
    for (int i = 0; i < model::kRegionStyleCount; ++i)
        m_regionOptions[static_cast<size_t>(i)].SubclassDlgItem(kRegionOptionIds[i], m_hWnd);
    m_presetSwitch.SubclassDlgItem(IDC_HIFI_PRESET_SWITCH, m_hWnd);
    for (int n = 0; n < model::kPresetCount; ++n)
        m_presetCells[static_cast<size_t>(n)].SubclassDlgItem(hifi::kPresetCellIds[static_cast<size_t>(n)], m_hWnd);
    m_eqSwitch.SubclassDlgItem(IDC_HIFI_EQ_SWITCH, m_hWnd);
    for (int i = 0; i < model::kBandCount; ++i)
        m_bands[static_cast<size_t>(i)].SubclassDlgItem(IDC_HIFI_BAND_0 + i, m_hWnd);
    m_bandReset.SubclassDlgItem(IDC_HIFI_BAND_RESET, m_hWnd);
    m_customLight.SubclassDlgItem(IDC_HIFI_CUSTOM_LIGHT, m_hWnd);
    m_presetList.SubclassDlgItem(IDC_HIFI_PRESET_LIST, m_hWnd);
    m_nameBox.SubclassDlgItem(IDC_HIFI_PRESET_NAME, m_hWnd);
    m_presetSave.SubclassDlgItem(IDC_HIFI_PRESET_SAVE, m_hWnd);
    m_presetDelete.SubclassDlgItem(IDC_HIFI_PRESET_DELETE, m_hWnd);
    m_roomSwitch.SubclassDlgItem(IDC_HIFI_ROOM_SWITCH, m_hWnd);
    m_roomSelector.SubclassDlgItem(IDC_HIFI_ROOM_SELECTOR, m_hWnd);
    m_envSwitch.SubclassDlgItem(IDC_HIFI_ENV_SWITCH, m_hWnd);
    m_envDisplay.SubclassDlgItem(IDC_HIFI_ENV_DISPLAY, m_hWnd);
    m_envPrevious.SubclassDlgItem(IDC_HIFI_ENV_PREV, m_hWnd);
    m_envNext.SubclassDlgItem(IDC_HIFI_ENV_NEXT, m_hWnd);
    SetControlsDpi();
}

void CDlgHifi::SetControlsDpi()
{
    const UINT dpi = GetDpi();
    for (CMyStaticBmp* picture : {&m_master, &m_powerLight, &m_bassTrebleSwitch, &m_regionSwitch, &m_presetSwitch,
                                  &m_eqSwitch, &m_customLight, &m_roomSwitch, &m_roomSelector, &m_envSwitch,
                                  &m_envDisplay})
        picture->SetDpi(dpi);
    for (CMyStaticBmp& option : m_regionOptions)
        option.SetDpi(dpi);
    for (CMyStaticBmp& cell : m_presetCells)
        cell.SetDpi(dpi);
    m_trebleKnob.SetDpi(dpi);
    m_bassKnob.SetDpi(dpi);
    for (CBitmapSlider& band : m_bands)
        band.SetDpi(dpi);
    for (CBitmapButton* button : {&m_bandReset, &m_presetSave, &m_presetDelete, &m_envPrevious, &m_envNext})
        button->SetDpi(dpi);
    m_presetList.SetDpi(dpi);
    m_nameBox.SetDpi(dpi);
}

void CDlgHifi::OnDpiChanged()
{
    SetControlsDpi();
    SizeControls();
    FitPresetControlsToFaces();
    PlaceControls();
    m_pageColumn.LoadBitmaps(); // at the new scale
}

void CDlgHifi::PlaceControls()
{
    PlaceControl(*this, m_master, 50, 41);
    PlaceControl(*this, m_powerLight, 35, 46);
    PlaceControl(*this, m_bassTrebleSwitch, 75, 76);
    PlaceControl(*this, m_trebleKnob, 87, 130);
    PlaceControl(*this, m_bassKnob, 87, 202);
    PlaceControl(*this, m_regionSwitch, 195, 78);
    for (int i = 0; i < model::kRegionStyleCount; ++i)
        PlaceControl(*this, m_regionOptions[static_cast<size_t>(i)], 194, kRegionOptionY[i]);
    PlaceControl(*this, m_presetSwitch, 386, 76);
    for (int n = 0; n < model::kPresetCount; ++n) {
        const int column = hifi::PresetCellColumn(hifi::kPresetCellIds[static_cast<size_t>(n)]);
        PlaceControl(*this, m_presetCells[static_cast<size_t>(n)], kCellColumnX[column], kCellRowY[kPresetCellRow[n]]);
    }
    PlaceControl(*this, m_eqSwitch, 53, 276);
    static constexpr int kBandX[model::kBandCount] = {105, 137, 170, 203, 236, 267, 297, 329, 363, 396};
    for (int i = 0; i < model::kBandCount; ++i)
        PlaceControl(*this, m_bands[static_cast<size_t>(i)], kBandX[i], 309);
    PlaceControl(*this, m_bandReset, 378, 276);
    PlaceControl(*this, m_customLight, 388, 207);
    PlaceControl(*this, m_presetList, 473, 203);
    PlaceControl(*this, m_nameBox, 473, 228);
    PlaceControl(*this, m_presetSave, 586, 201);
    PlaceControl(*this, m_presetDelete, 612, 201);
    PlaceControl(*this, m_roomSwitch, 465, 276);
    PlaceControl(*this, m_roomSelector, 590, 280);
    PlaceControl(*this, m_envSwitch, 465, 377);
    PlaceControl(*this, m_envDisplay, 475, 403);
    PlaceControl(*this, m_envPrevious, 631, 411);
    PlaceControl(*this, m_envNext, 631, 436);
    // The page column places its own buttons; their bitmaps come with the
    // other pictures.
    m_pageColumn.Place();
}

void CDlgHifi::SetupPictures()
{
    SetupTwoState(m_master, IDB_HIFI_MASTER_ON, IDB_HIFI_MASTER_OFF);
    SetupTwoState(m_powerLight, IDB_HIFI_LIGHT_ON, IDB_HIFI_LIGHT_OFF);
    SetupTwoState(m_bassTrebleSwitch, IDB_HIFI_BASSTREBLE_ON, IDB_HIFI_BASSTREBLE_OFF);
    SetupTwoState(m_regionSwitch, IDB_HIFI_REGION_SWITCH_ON, IDB_HIFI_REGION_SWITCH_OFF);
    for (CMyStaticBmp& option : m_regionOptions)
        SetupTwoState(option, IDB_HIFI_REGION_OPTION_ON, IDB_HIFI_REGION_OPTION_OFF);
    SetupTwoState(m_presetSwitch, IDB_HIFI_PRESET_SWITCH_ON, IDB_HIFI_PRESET_SWITCH_OFF);
    for (int n = 0; n < model::kPresetCount; ++n) {
        const int column = hifi::PresetCellColumn(hifi::kPresetCellIds[static_cast<size_t>(n)]);
        SetupTwoState(m_presetCells[static_cast<size_t>(n)], kCellOn[column], kCellOff[column]);
    }
    SetupTwoState(m_eqSwitch, IDB_HIFI_EQ_SWITCH_ON, IDB_HIFI_EQ_SWITCH_OFF);
    SetupTwoState(m_customLight, IDB_HIFI_LIGHT_ON, IDB_HIFI_LIGHT_OFF);
    SetupTwoState(m_roomSwitch, IDB_HIFI_ROOM_SWITCH_ON, IDB_HIFI_ROOM_SWITCH_OFF);
    SetupTwoState(m_envSwitch, IDB_HIFI_ENV_SWITCH_ON, IDB_HIFI_ENV_SWITCH_OFF);

    // The INI indexes are only the first pictures: ApplyHifiState replaces
    // them with the stored room size and environment.
    m_roomSelector.SetPictureList(kRoomPictures, settings::Read(settings::kIniRoomPicture));
    LoadEnvironmentPictures(model::Language::English, settings::Read(settings::kIniEnvironmentPicture));
    m_presetList.ResetContent();
}

void CDlgHifi::SetupButtonsAndFaces()
{
    SetupButton(m_bandReset, IDB_HIFI_RESET_NORMAL, IDB_HIFI_RESET_PRESSED);
    SetupButton(m_presetSave, IDB_HIFI_SAVE_NORMAL, IDB_HIFI_SAVE_PRESSED);
    SetupButton(m_presetDelete, IDB_HIFI_DELETE_NORMAL, IDB_HIFI_DELETE_PRESSED);
    SetupButton(m_envPrevious, IDB_HIFI_ARROW_NORMAL, IDB_HIFI_ARROW_PRESSED);
    SetupButton(m_envNext, IDB_HIFI_ARROW_NORMAL, IDB_HIFI_ARROW_PRESSED);

    m_presetList.SetFaceBitmap(IDB_COMBO_FACE_LIST);
    m_nameBox.SetFaceBitmap(IDB_COMBO_FACE_EDIT);
    FitPresetControlsToFaces();
}

const CMyStaticBmp* CDlgHifi::Picture(UINT id) const
{
    HWND control = ::GetDlgItem(m_hWnd, static_cast<int>(id));
    return dynamic_cast<const CMyStaticBmp*>(CWnd::FromHandlePermanent(control));
}

// ---------------------------------------------------------------------------
// Messages

BOOL CDlgHifi::PreTranslateMessage(MSG* msg)
{
    // Neither Return nor Escape may close the page.
    return msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE);
}

LRESULT CDlgHifi::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_HSCROLL:
        return OnToneKnobMoved();
    case WM_SLIDER_TRACK:
        return OnEqSliderMoved();
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp), HIWORD(wp)))
            return 0;
        break;
    case WM_SET_LANGUAGE:
        return OnSetLanguage(lp);
    case WM_ENDPOINT_CHANGED:
        return OnEndpointChanged(lp);
    case WM_CONTEXTMENU:
        OnContextMenu(reinterpret_cast<HWND>(wp), POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    default:
        break;
    }
    return CSkinnedPage::WindowProc(msg, wp, lp);
}

bool CDlgHifi::OnCommand(UINT id, UINT code)
{
    if (id == IDC_HIFI_PRESET_LIST) {
        if (code == CBN_SELCHANGE)
            SelectCustomPreset();
        return true;
    }
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_HIFI_BAND_RESET:
        OnBandReset();
        return true;
    case IDC_HIFI_ENV_PREV:
        OnPreviousEnvironment();
        return true;
    case IDC_HIFI_ENV_NEXT:
        OnNextEnvironment();
        return true;
    case IDC_HIFI_PRESET_SAVE:
        SaveCustomPreset();
        return true;
    case IDC_HIFI_PRESET_DELETE:
        DeleteCustomPreset();
        return true;
    default:
        return m_pageColumn.OnCommand(id);
    }
}

LRESULT CDlgHifi::OnSetLanguage(LPARAM language)
{
    if (const std::optional<model::Language> shown = ApplyLanguageSkin(*this, language, kBackgrounds)) {
        // Nobody sees the pictures of a hidden page: they are loaded when it shows.
        if (!IsWindowVisible()) {
            m_envDisplay.DeferLoading();
            LoadPicturesWhenShown();
        }
        LoadEnvironmentPictures(*shown, settings::Read(settings::kEnvironment));
    }
    return 0;
}

LRESULT CDlgHifi::OnEndpointChanged(LPARAM lp)
{
    // Another default playback device: the page's processing goes off.
    if (lp == 0) {
        settings::Write(settings::kHifiOn, 0);
        ApplyHifiState();
    }
    return 1;
}

void CDlgHifi::EnableCustomControls(bool enable)
{
    m_presetList.EnableWindow(enable);
    m_nameBox.EnableWindow(enable);
    m_presetSave.EnableWindow(enable);
    m_presetDelete.EnableWindow(enable);
}

// ---------------------------------------------------------------------------
// Click map: the pictures do not take the mouse, so a press on one reaches
// the page, which decides by the pictures' rectangles.

void CDlgHifi::OnLButtonDown(POINT pt)
{
    if (PointOnControl(m_hWnd, m_master, pt)) {
        const bool on = !m_master.GetState();
        m_master.SetState(on);
        settings::Write(settings::kHifiOn, on ? 1 : 0);
        ApplyHifiState();
        return;
    }
    if (!m_master.GetState()) {
        StartWindowDrag();
        return;
    }
    if (PointOnControl(m_hWnd, m_bassTrebleSwitch, pt)) {
        ToggleGroupSwitch(m_bassTrebleSwitch, ToneGroup::BassTreble);
        return;
    }
    if (PointOnControl(m_hWnd, m_regionSwitch, pt)) {
        ToggleGroupSwitch(m_regionSwitch, ToneGroup::RegionStyle);
        return;
    }
    for (int style = 0; style < model::kRegionStyleCount; ++style) {
        if (!PointOnControl(m_hWnd, m_regionOptions[static_cast<size_t>(style)], pt))
            continue;
        if (m_regionSwitch.GetState()) {
            settings::Write(settings::kRegionStyle, style);
            ApplyHifiState();
        }
        return;
    }
    if (PointOnControl(m_hWnd, m_presetSwitch, pt)) {
        ToggleGroupSwitch(m_presetSwitch, ToneGroup::BuiltInPreset);
        return;
    }
    for (int preset = 0; preset < model::kPresetCount; ++preset) {
        if (!PointOnControl(m_hWnd, m_presetCells[static_cast<size_t>(preset)], pt))
            continue;
        if (m_presetSwitch.GetState()) {
            settings::Write(settings::kEqPreset, preset);
            ApplyHifiState();
        }
        return;
    }
    if (PointOnControl(m_hWnd, m_eqSwitch, pt)) {
        OnEqualizerSwitch();
        return;
    }
    if (PointOnControl(m_hWnd, m_roomSwitch, pt)) {
        const bool on = !m_roomSwitch.GetState();
        m_roomSwitch.SetState(on);
        settings::Write(settings::kRoomOn, on ? 1 : 0);
        ApplyHifiState();
        return;
    }
    if (PointOnControl(m_hWnd, m_roomSelector, pt)) {
        if (m_roomSwitch.GetState())
            OnRoomSelectorClick(pt);
        return;
    }
    if (PointOnControl(m_hWnd, m_envSwitch, pt)) {
        const bool on = !m_envSwitch.GetState();
        m_envSwitch.SetState(on);
        settings::Write(settings::kEnvironmentOn, on ? 1 : 0);
        ApplyHifiState();
        return;
    }
    StartWindowDrag();
    Default();
}

void CDlgHifi::ToggleGroupSwitch(CMyStaticBmp& groupSwitch, ToneGroup group)
{
    const bool on = !groupSwitch.GetState();
    groupSwitch.SetState(on);
    if (!on) {
        settings::WriteToneGroup(ToneGroup::None);
    } else {
        settings::WriteToneGroup(group);
        EnableCustomControls(false);
    }
    ApplyHifiState();
}

void CDlgHifi::OnEqualizerSwitch()
{
    const bool on = !m_eqSwitch.GetState();
    m_eqSwitch.SetState(on);
    if (!on) {
        settings::WriteToneGroup(ToneGroup::None);
        m_customLight.SetState(false);
        ApplyHifiState();
        return;
    }
    settings::WriteToneGroup(ToneGroup::Equalizer);
    m_customLight.SetState(true);
    EnableCustomControls(true);
    // Read back: without the Hifi subkey nothing was kept.
    const settings::HifiSettings stored = settings::ReadHifi();
    if (stored.toneGroup == ToneGroup::Equalizer)
        settings::ListPresets(m_presetList);
    const int flagged = FindFlaggedPreset();
    if (stored.customPresetChosen) {
        m_presetList.SetCurSel(flagged);
        SelectCustomPreset();
    } else {
        LoadEqualizer(stored);
    }
    ApplyHifiState();
}

// ---------------------------------------------------------------------------
// ApplyHifiState

void CDlgHifi::ApplyHifiState()
{
    // One reading of the store for the whole application: nothing below
    // writes to it.
    const settings::HifiSettings stored = settings::ReadHifi();
    if (!stored.on) {
        m_master.SetState(false);
        m_powerLight.SetState(false);
        CMSUP_SetEQStatus(m_card, 0);
        m_bassTrebleSwitch.SetState(false);
        SetKnobs(stored);
        m_regionSwitch.SetState(false);
        ShowRegionStyle(-1);
        m_presetSwitch.SetState(false);
        ShowEqPreset(-1);
        m_eqSwitch.SetState(false);
        LoadEqualizer(stored);
        m_customLight.SetState(false);
        m_roomSwitch.SetState(false);
        ApplyRoomSize(stored.roomSize);
        m_envSwitch.SetState(false);
        ApplyEnvironment(0);
    } else {
        m_master.SetState(true);
        m_powerLight.SetState(true);
        const std::optional<ToneGroup> group = stored.toneGroup;
        if (group == ToneGroup::None)
            CMSUP_SetEQStatus(m_card, 0);

        if (group == ToneGroup::BassTreble) {
            CMSUP_SetEQStatus(m_card, 1);
            m_bassTrebleSwitch.SetState(true);
            SetKnobs(stored);
            SendEqGains(hifi::BassTrebleGains(m_bassKnob.GetPos(), m_trebleKnob.GetPos()));
        } else {
            m_bassTrebleSwitch.SetState(false);
            SetKnobs(stored);
        }

        if (group == ToneGroup::RegionStyle) {
            CMSUP_SetEQStatus(m_card, 1);
            m_regionSwitch.SetState(true);
        } else {
            m_regionSwitch.SetState(false);
        }
        ShowRegionStyle(stored.regionStyle);

        if (group == ToneGroup::BuiltInPreset) {
            CMSUP_SetEQStatus(m_card, 1);
            m_presetSwitch.SetState(true);
        } else {
            m_presetSwitch.SetState(false);
        }
        ShowEqPreset(stored.eqPreset);

        if (group == ToneGroup::Equalizer) {
            CMSUP_SetEQStatus(m_card, 1);
            m_eqSwitch.SetState(true);
            m_customLight.SetState(true);
        } else {
            m_eqSwitch.SetState(false);
            m_customLight.SetState(false);
        }

        m_roomSwitch.SetState(stored.roomOn);
        ApplyRoomSize(stored.roomSize);

        if (stored.environmentOn) {
            m_envSwitch.SetState(true);
            if (stored.environment >= -1 && stored.environment < model::kEnvironmentCount)
                ApplyEnvironment(stored.environment + 1);
        } else {
            m_envSwitch.SetState(false);
            ApplyEnvironment(0);
        }
    }
    m_envDisplay.m_currentIndex = stored.environment;
    m_envDisplay.ShowPicture(stored.environment);
}
