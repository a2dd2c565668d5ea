#pragma once
// The Hifi page: a master switch, four mutually exclusive tone groups (bass
// and treble knobs, region styles, built-in presets, the ten-band equalizer
// with user presets), the room size and the environment effect.
//
// A click writes the changed value into the store and then re-derives the
// whole page and the card from the store (ApplyHifiState): the store is the
// state of record. The band sliders, the knobs and the user presets write
// and send their values themselves.
//
// The methods live in four sources: DlgHifi.cpp (start-up, messages, click
// map, ApplyHifiState), HifiEqualizer.cpp (bands, region styles, built-in
// presets), HifiCustomPresets.cpp (user presets) and HifiEnvironment.cpp
// (knobs, room, environment).
#include "BitmapSlider.h"
#include "CmAudioX.h"
#include "HifiModel.h"
#include "MyComboBox.h"
#include "MyStaticBmp.h"
#include "PageColumn.h"
#include "RoundSliderCtrl.h"
#include "Settings.h"
#include "SkinnedPage.h"
#include "resource.h"

#include <array>
#include <string>
#include <vector>

class CDlgHifi : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_HIFI };
    CDlgHifi() : CSkinnedPage(IDD) {}

    BOOL PreTranslateMessage(MSG* msg) override;

    // Reads the page's values from the store, once, and drives every switch,
    // knob, picture and card setting from them.
    void ApplyHifiState();
    // The page after its settings changed in the store under it (an import):
    // everything read and given to the card again as at start-up, and the
    // preset list refilled.
    void ReloadFromStore();
    // The user preset chosen in the list; empty when none is.
    std::wstring ChosenPreset() const;

    // Read access for the page's own checks and for tests.
    const CMyStaticBmp* Picture(UINT id) const;
    const CBitmapSlider& BandSlider(int band) const { return m_bands[static_cast<size_t>(band)]; }
    const CRoundSliderCtrl& TrebleKnob() const { return m_trebleKnob; }
    const CRoundSliderCtrl& BassKnob() const { return m_bassKnob; }
    const CMyComboBox& PresetList() const { return m_presetList; }
    const CMyComboBox& NameBox() const { return m_nameBox; }
    CMSUP_HANDLE CardHandle() const { return m_card; }

protected:
    BOOL OnInitDialog() override;
    void OnPicturesDue() override;
    void OnDpiChanged() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // DlgHifi.cpp
    void BindControls();
    // Every control at the page's scale (their pictures and fonts).
    void SetControlsDpi();
    void PlaceControls();
    // The knobs' and bands' sizes, which the template cannot give at every scale.
    void SizeControls();
    void SetupPictures();
    void SetupButtonsAndFaces();
    bool OnCommand(UINT id, UINT code);
    LRESULT OnSetLanguage(LPARAM language);
    LRESULT OnEndpointChanged(LPARAM lp);
    void OnContextMenu(HWND clicked, POINT screen);
    void OnLButtonDown(POINT pt);
    void ToggleGroupSwitch(CMyStaticBmp& groupSwitch, model::ToneGroup group);
    void OnEqualizerSwitch();
    void EnableCustomControls(bool enable);

    // HifiEqualizer.cpp
    void SetupBandSliders();
    void FitPresetControlsToFaces();
    // The knobs and band sliders from the stored values; the curve goes to
    // the card while the equalizer is on.
    void LoadEqualizer(const settings::HifiSettings& stored);
    hifi::GainArray SliderGains() const;
    LRESULT OnEqSliderMoved();
    void OnBandReset();
    void ClearPresetChoice();
    void ShowRegionStyle(int style);
    void ShowEqPreset(int preset);
    void SendEqGains(const hifi::GainArray& gains);

    // HifiCustomPresets.cpp
    int FindFlaggedPreset();
    void SelectCustomPreset();
    void SaveCustomPreset();
    void DeleteCustomPreset();
    std::vector<std::wstring> ListedPresetNames() const;
    void ShowPresetWarning(hifi::NameCheck problem);
    void RepaintControlArea(const CWnd& control);

    // HifiEnvironment.cpp
    void SetupKnobs();
    void SetKnobs(const settings::HifiSettings& stored);
    LRESULT OnToneKnobMoved();
    void OnRoomSelectorClick(POINT pt);
    void OnPreviousEnvironment();
    void OnNextEnvironment();
    void ApplyRoomSize(int size);
    void ApplyEnvironment(int selector);
    void LoadEnvironmentPictures(model::Language language, int startIndex);

    CMSUP_HANDLE m_card = nullptr;
    CPageColumn m_pageColumn;
    bool m_buttonsAndFacesSet = false; // once, with the first pictures

    CMyStaticBmp m_master;     // 1079
    CMyStaticBmp m_powerLight; // 1096
    CMyStaticBmp m_bassTrebleSwitch;
    CRoundSliderCtrl m_trebleKnob;
    CRoundSliderCtrl m_bassKnob;
    CMyStaticBmp m_regionSwitch;
    std::array<CMyStaticBmp, model::kRegionStyleCount> m_regionOptions;
    CMyStaticBmp m_presetSwitch;
    std::array<CMyStaticBmp, model::kPresetCount> m_presetCells; // by preset number
    CMyStaticBmp m_eqSwitch;
    std::array<CBitmapSlider, model::kBandCount> m_bands;
    CBitmapButton m_bandReset;
    CMyStaticBmp m_customLight;
    CMyComboBox m_presetList;
    CMyComboBox m_nameBox;
    CBitmapButton m_presetSave;
    CBitmapButton m_presetDelete;
    CMyStaticBmp m_roomSwitch;
    CMyStaticBmp m_roomSelector;
    CMyStaticBmp m_envSwitch;
    CMyStaticBmp m_envDisplay;
    CBitmapButton m_envPrevious;
    CBitmapButton m_envNext;
};
