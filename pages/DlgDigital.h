#pragma once
// The Digital page: the card's digital (S/PDIF) output on or off and one of
// four rate positions, kept as DigitalOutSr in the Digital subkey and sent to
// the card at start and after every change.
#include "CmAudioX.h"
#include "MyStaticBmp.h"
#include "PageColumn.h"
#include "SkinnedPage.h"
#include "resource.h"

#include <optional>

class CDlgDigital : public CSkinnedPage {
public:
    enum { IDD = IDD_DLG_DIGITAL };
    CDlgDigital() : CSkinnedPage(IDD) {}

    // One stored DigitalOutSr value: the rate selector's picture and the
    // status the card is given. Values outside 0 ... 4 have none.
    struct OutputSetting {
        bool on;
        int selectorIndex;
        int32_t spdifStatus;
    };
    static std::optional<OutputSetting> SettingFor(int storedValue);
    // The stored value a press at (x, y) on the rate selector chooses, from
    // the selector's rectangle in the same coordinates; 0 for a press on
    // either centre line, which chooses nothing.
    static int RateChoiceAt(const RECT& selector, int x, int y);

    // Shows DigitalOutSr afresh and gives it to the card again, after the
    // store changed under the page (an import).
    void ReloadFromStore() { ApplyStoredState(); }

    // Swallows every key-down, so Enter and Escape never close the page.
    BOOL PreTranslateMessage(MSG* msg) override;

    CMyStaticBmp& OutputSwitch() { return m_outputSwitch; }
    CMyStaticBmp& SwitchLamp() { return m_switchLamp; }
    CMyStaticBmp& SelectorLamp() { return m_selectorLamp; }
    CMyStaticBmp& RateSelector() { return m_rateSelector; }

protected:
    BOOL OnInitDialog() override;
    void OnPicturesDue() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDpiChanged() override;

private:
    void OnLButtonDown(POINT pt);
    bool OnCommand(UINT id);
    LRESULT OnSetLanguage(LPARAM language);

    void BindControls();
    // The pictures at the page's scale.
    void SetControlsDpi();
    void PlaceControls();
    void LoadPictures();
    // Shows DigitalOutSr from the store and gives the card its status.
    void ApplyStoredState();
    void StoreAndApply(int value);

    CPageColumn m_pageColumn;
    CMyStaticBmp m_outputSwitch; // 1021: on 154, off 155
    CMyStaticBmp m_switchLamp;   // 1022: on 157, off 156
    CMyStaticBmp m_rateSelector; // 1024: pictures 160 ... 163
    CMyStaticBmp m_selectorLamp; // 1023: on 159, off 158
    CMSUP_HANDLE m_card = nullptr;
};
