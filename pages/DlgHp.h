#pragma once
// The Hp page: the card's speaker and headphone options (crossover frequency,
// large speakers, headphone impedance, flex bass), read from the card once at
// start and changed on it at once. Nothing of it is stored by the panel.
#include "BitmapSlider.h"
#include "CmAudioX.h"
#include "MyStaticBmp.h"
#include "PageColumn.h"
#include "SkinnedPage.h"
#include "resource.h"

#include <cstdint>

class CDlgHp : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_HP };
    static constexpr uint32_t kCrossoverLowest = 50;
    static constexpr uint32_t kCrossoverHighest = 250;

    CDlgHp() : CSkinnedPage(IDD) {}

    // The crossover frequency the card reported, brought into 50 ... 250 Hz
    // (a negative value read as unsigned is above the range).
    static uint32_t ClampCrossover(uint32_t hertz);

    // Swallows every key-down: Enter and Escape never close the page and the
    // crossover slider cannot be moved with the keyboard.
    BOOL PreTranslateMessage(MSG* msg) override;

    uint32_t GetCrossover() const { return m_crossover; }
    CBitmapSlider& CrossoverSlider() { return m_crossoverSlider; }
    CMyStaticBmp& SpeakerSizeSwitch() { return m_speakerSize; }
    CMyStaticBmp& ImpedanceSwitch() { return m_impedance; }
    CMyStaticBmp& FlexBassLamp() { return m_flexBass; }

    // Shows what the card holds now (the page keeps none of it): the three
    // switches, then the crossover, read as when the page initialised.
    void ReadCard();

protected:
    BOOL OnInitDialog() override;
    void OnPicturesDue() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDpiChanged() override;

private:
    void OnLButtonDown(POINT pt);
    LRESULT OnSliderTrack(WPARAM id);
    bool OnCommand(UINT id);
    LRESULT OnSetLanguage(LPARAM language);

    void BindControls();
    void LoadPictures();
    void ReadSwitches();
    void ReadCrossover();
    void SetupCrossoverSlider();
    // The crossover's slot gets exactly its channel's size.
    void FitCrossoverSlot();
    void PlaceControls();
    // Flips a picture when pt lies on it; true when it did.
    bool TogglePictureAt(CMyStaticBmp& picture, POINT pt);

    uint32_t m_crossover = 150;
    CBitmapSlider m_crossoverSlider; // 1086
    CMSUP_HANDLE m_card = nullptr;
    CMyStaticBmp m_speakerSize; // 1088: state 1 = large speakers
    CMyStaticBmp m_impedance;   // 1089: state = impedance mode
    CMyStaticBmp m_flexBass;    // 1090: state 1 = flex bass on
    CPageColumn m_pageColumn;
};
