// Giving the card its settings again, seen from inside a real main dialog
// with its pages (created in this process of the prepared prefix): after a
// resume the pages show what the card holds now, and ReapplyCardSettings, the
// entry point for a store changed under the pages, shows the store on every
// page and gives the card its settings with the first try made at once.
#include "HifiModel.h"
#include "MyStaticBmp.h"
#include "SimCardControl.h"
#include "TestSupport.h"
#include "ZephrinDlg.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace std::chrono_literals;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

const std::wstring kSettingsKey = L"Software\\Marvolin\\VANTIR";

int32_t Card(const char* field)
{
    int32_t v = 0;
    SimCard_Get(field, &v);
    return v;
}

bool Shows(HWND dialog, int id)
{
    const auto* picture = dynamic_cast<const CMyStaticBmp*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog, id)));
    return picture && picture->GetState();
}

class CardReapplyDialog : public ::testing::Test {
protected:
    void SetUp() override { SimCard_Reset(); }
    void TearDown() override
    {
        m_dlg.reset();
        PumpMessages(20ms);
        SimCard_Reset();
    }
    void Start()
    {
        m_dlg = std::make_unique<CZephrinDlg>(0);
        ASSERT_TRUE(m_dlg->Create(CZephrinDlg::IDD, nullptr));
        m_dlg->ShowWindow(SW_HIDE);
        PumpMessages(50ms);
    }
    // Calls the card has been given since the journal was last cleared.
    static int32_t Calls(const char* op)
    {
        int32_t count = 0;
        for (int32_t i = 0; i < SimCard_JournalCount(); ++i) {
            SimCardCall call{};
            if (SimCard_JournalEntry(i, &call) && std::string(call.op) == op)
                ++count;
        }
        return count;
    }

    testsupport::RegistrySnapshot m_settings{kSettingsKey};
    std::unique_ptr<CZephrinDlg> m_dlg;
};

TEST_F(CardReapplyDialog, AfterAResumeThePagesShowWhatTheCardHoldsNow)
{
    // What the user chose on the Hp page and the output switch lives in the card.
    SimCard_Set("flexBass", 1);
    SimCard_Set("largeSpeakers", 1);
    SimCard_Set("impedanceMode", 1);
    SimCard_Set("crossover", 200);
    SimCard_Set("spkData", 1);
    Start();
    CDlgHp& hp = m_dlg->HpPage();
    ASSERT_TRUE(hp.FlexBassLamp().GetState());
    ASSERT_TRUE(hp.SpeakerSizeSwitch().GetState());
    ASSERT_TRUE(hp.ImpedanceSwitch().GetState());
    ASSERT_EQ(hp.GetCrossover(), 200u);
    ASSERT_TRUE(Shows(m_dlg->m_hWnd, IDC_OUTPUT_SWITCH)) << "headphones";

    // The sleep cut the card's power: it is back at its defaults.
    SimCard_PowerLoss(0);
    SimCard_JournalClear();
    ::PostMessageW(m_dlg->m_hWnd, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    ASSERT_TRUE(PumpUntil([] { return Calls("CMSUP_GetSpkData") > 0; }, 10s));
    EXPECT_FALSE(hp.FlexBassLamp().GetState());
    EXPECT_FALSE(hp.SpeakerSizeSwitch().GetState());
    EXPECT_FALSE(hp.ImpedanceSwitch().GetState());
    EXPECT_EQ(hp.GetCrossover(), 80u);
    EXPECT_EQ(hp.CrossoverSlider().GetPos(), 80);
    EXPECT_FALSE(Shows(m_dlg->m_hWnd, IDC_OUTPUT_SWITCH)) << "speakers, as the card has it";
    EXPECT_EQ(Card("spkData"), 0x140004) << "what was read is not written back";
}

TEST_F(CardReapplyDialog, ReapplyCardSettingsShowsAndGivesAStoreChangedUnderThePages)
{
    testsupport::SetText(kSettingsKey + L"\\Digital", L"DigitalOutSr", L"0");
    testsupport::SetText(kSettingsKey + L"\\Hifi", L"isDrySoundOn", L"0");
    Start();
    ASSERT_FALSE(m_dlg->DigitalPage().OutputSwitch().GetState());

    // Another program (an import of saved settings) rewrites the store.
    testsupport::SetText(kSettingsKey + L"\\Digital", L"DigitalOutSr", L"4");
    testsupport::SetText(kSettingsKey + L"\\Hifi", L"isDrySoundOn", L"1");
    testsupport::SetText(kSettingsKey + L"\\Hifi", L"InitialButtonOn", L"2");
    testsupport::SetText(kSettingsKey + L"\\Hifi", L"EQPreset", L"7");
    m_dlg->ReapplyCardSettings(L"after an import");

    // The first try was made before the call returned.
    EXPECT_TRUE(m_dlg->DigitalPage().OutputSwitch().GetState());
    EXPECT_EQ(m_dlg->DigitalPage().RateSelector().m_currentIndex, 3);
    EXPECT_EQ(Card("spdifStatus"), 0x80);
    const CMyStaticBmp* cell = m_dlg->HifiPage().Picture(static_cast<UINT>(hifi::kPresetCellIds[7]));
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->GetState());
    EXPECT_EQ(Card("eqStatus"), 1);
    EXPECT_EQ(Card("eqMode"), 7);

    // A card that refuses at first: the call returns at once and a later try
    // gives the card the store.
    testsupport::SetText(kSettingsKey + L"\\Digital", L"DigitalOutSr", L"2");
    SimCard_SetNotReady(700);
    const DWORD start = ::GetTickCount();
    m_dlg->ReapplyCardSettings(L"after an import");
    EXPECT_LT(::GetTickCount() - start, 500u) << "the interface thread does not wait for the card";
    EXPECT_EQ(Card("spdifStatus"), 0x80) << "refused";
    EXPECT_TRUE(PumpUntil([] { return Card("spdifStatus") == 1; }, 10s));
}

} // namespace
