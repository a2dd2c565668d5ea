// The running panel and settings that change in the store under it: the
// registered message of a command-line import makes every page read its
// values again and give them to the card as at start-up, in the stored
// language; and the tray menu's entries for the files, in their place and
// worded in the interface language.
#include "HifiTestSupport.h"
#include "PanelMessages.h"
#include "SimCardControl.h"
#include "TestSupport.h"
#include "TransferMenu.h"
#include "TransferTexts.h"
#include "ZephrinDlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using namespace std::chrono_literals;
using hifitest::Call;

const std::wstring kRoot = L"Software\\Marvolin\\VANTIR";
constexpr UINT kBackgrounds[3][5] = {
    {IDB_MAIN_BG_TC, IDB_HIFI_BG_TC, IDB_DIGITAL_BG_TC, IDB_INFO_BG_TC, IDB_HP_BG_TC},
    {IDB_MAIN_BG_SC, IDB_HIFI_BG_SC, IDB_DIGITAL_BG_SC, IDB_INFO_BG_SC, IDB_HP_BG_SC},
    {IDB_MAIN_BG_EN, IDB_HIFI_BG_EN, IDB_DIGITAL_BG_EN, IDB_INFO_BG_EN, IDB_HP_BG_EN},
};

class PanelReload : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::DeleteTree(kRoot + L"\\Custom");
        testsupport::SetText(kRoot + L"\\CPL", L"language", L"0");
        testsupport::SetText(kRoot + L"\\Hifi", L"isDrySoundOn", L"0");
        testsupport::SetText(kRoot + L"\\Hifi", L"InitialButtonOn", L"-1");
        testsupport::SetText(kRoot + L"\\Hifi", L"Customize", L"0");
        testsupport::SetText(kRoot + L"\\Digital", L"DigitalOutSr", L"0");
        SimCard_Reset();
        m_dlg = std::make_unique<CZephrinDlg>(0);
        ASSERT_TRUE(m_dlg->Create(CZephrinDlg::IDD, nullptr));
        m_dlg->ShowWindow(SW_HIDE);
        testsupport::PumpMessages(50ms);
    }
    void TearDown() override
    {
        m_dlg.reset();
        testsupport::PumpMessages(20ms);
    }

    testsupport::RegistrySnapshot m_saved{kRoot};
    std::unique_ptr<CZephrinDlg> m_dlg;
};

bool Has(const std::vector<Call>& journal, const Call& call)
{
    return std::find(journal.begin(), journal.end(), call) != journal.end();
}

} // namespace

TEST_F(PanelReload, TheMessageOfAnImportMakesEveryPageTakeTheStoreAsAtStartUp)
{
    // What an import of another machine's settings leaves in the store.
    const hifi::GainArray curve = {-327680, 65536, 0, 131072, -1310720, 1310680, 7, -7, 500000, -500000};
    testsupport::SetText(kRoot + L"\\CPL", L"language", L"1");
    testsupport::SetText(kRoot + L"\\Hifi", L"isDrySoundOn", L"1");
    testsupport::SetText(kRoot + L"\\Hifi", L"InitialButtonOn", L"3");
    testsupport::SetText(kRoot + L"\\Hifi", L"Customize", L"1");
    testsupport::SetText(kRoot + L"\\Digital", L"DigitalOutSr", L"2");
    for (const auto& [name, flag] : {std::pair{L"Another", L"0"}, std::pair{L"Imported", L"1"}}) {
        for (size_t band = 0; band < curve.size(); ++band)
            testsupport::SetText(kRoot + L"\\Custom\\" + name, settings::kBandNames[band],
                                 std::to_wstring(flag[0] == L'1' ? curve[band] : 0));
        testsupport::SetText(kRoot + L"\\Custom\\" + name, L"flag", flag);
    }
    SimCard_JournalClear();

    const UINT message = CZephrinDlg::SettingsChangedMessage();
    ASSERT_NE(message, 0u);
    EXPECT_EQ(m_dlg->SendMessage(message), kSettingsChangedReply);

    for (int page = 0; page < 5; ++page)
        EXPECT_EQ(m_dlg->GetPageWindow(static_cast<model::Page>(page))->GetBackgroundId(), kBackgrounds[1][page])
            << "page " << page;
    const CDlgHifi& hifi = m_dlg->HifiPage();
    ASSERT_EQ(hifi.PresetList().GetCount(), 2);
    EXPECT_EQ(hifi.ChosenPreset(), L"Imported");
    EXPECT_TRUE(hifi.PresetList().IsWindowEnabled());
    for (int band = 0; band < model::kBandCount; ++band)
        EXPECT_EQ(hifi.BandSlider(band).GetPos(), hifi::GainToSliderPos(curve[static_cast<size_t>(band)]));
    EXPECT_TRUE(m_dlg->DigitalPage().OutputSwitch().GetState());

    const std::vector<Call> journal = hifitest::Journal();
    EXPECT_TRUE(Has(journal, Call{"CMSUP_SetEQStatus", {1}}));
    EXPECT_TRUE(Has(journal, hifitest::GainCall(curve)));
    std::vector<Call> sets;
    for (const Call& call : journal)
        if (call.op.rfind("CMSUP_Set", 0) == 0)
            sets.push_back(call);
    ASSERT_FALSE(sets.empty());
    EXPECT_EQ(sets.back(), (Call{"CMSUP_SetSpdifStatus", {1}})) << "the Digital page after the Hifi page";
    // Then what the card holds itself is read again, the output switch last.
    EXPECT_EQ(journal.back().op, "CMSUP_GetSpkData");
}

TEST(TrayMenu, TheFileEntriesStandBeforeExitInTheInterfaceLanguageAndTheOthersKeepTheirIdsAndWords)
{
    fw::UniqueMenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    ASSERT_TRUE(menu);
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    ASSERT_NE(popup, nullptr);
    const std::vector<UINT> ids = {static_cast<UINT>(-1), ID_SHOW_PANEL,       ID_EXPORT_SETTINGS,
                                   ID_IMPORT_SETTINGS,    ID_IMPORT_EQUALIZER, ID_EXIT};
    ASSERT_EQ(::GetMenuItemCount(popup), static_cast<int>(ids.size()));
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(::GetMenuItemID(popup, static_cast<int>(i)), ids[i]) << "entry " << i;
    HMENU languages = ::GetSubMenu(popup, 0);
    EXPECT_EQ(::GetMenuItemID(languages, 0), static_cast<UINT>(ID_LANG_TRADITIONAL));
    EXPECT_EQ(::GetMenuItemID(languages, 1), static_cast<UINT>(ID_LANG_SIMPLIFIED));
    EXPECT_EQ(::GetMenuItemID(languages, 2), static_cast<UINT>(ID_LANG_ENGLISH));

    const auto text = [&](UINT id) {
        wchar_t buffer[128] = {};
        ::GetMenuStringW(popup, id, buffer, 128, MF_BYCOMMAND);
        return std::wstring(buffer);
    };
    using transfertexts::Text;
    const wchar_t* expected[3][3] = {{L"匯出設定…", L"匯入設定…", L"匯入等化器…"},
                                     {L"导出设置…", L"导入设置…", L"导入均衡器…"},
                                     {L"Export settings…", L"Import settings…", L"Import equalizer…"}};
    for (int language : {1, 0, 2}) {
        NameTransferEntries(popup, static_cast<model::Language>(language), true);
        EXPECT_EQ(text(ID_EXPORT_SETTINGS), expected[language][0]);
        EXPECT_EQ(text(ID_IMPORT_SETTINGS), expected[language][1]);
        EXPECT_EQ(text(ID_IMPORT_EQUALIZER), expected[language][2]);
        EXPECT_EQ(text(ID_SHOW_PANEL), L"Marvolin Control Panel");
        EXPECT_EQ(text(ID_EXIT), L"Exit");
        EXPECT_EQ(::GetMenuItemID(popup, 4), static_cast<UINT>(ID_IMPORT_EQUALIZER)) << "still in place";
    }
    NameTransferEntries(popup, model::Language::English, false);
    for (UINT id : {ID_EXPORT_SETTINGS, ID_IMPORT_SETTINGS, ID_IMPORT_EQUALIZER})
        EXPECT_TRUE(::GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(::GetMenuState(popup, ID_EXIT, MF_BYCOMMAND) & MF_GRAYED);
}
