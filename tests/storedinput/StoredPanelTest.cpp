// The real panel started on a store where every value of the table holds the
// same hostile form: it starts, every page shows through its page buttons
// and answers, a click on the Hifi page works, it ends on Exit, and the whole
// settings key differs from before only by the language written back at
// start (when it reads as 0, 1 or 2) and the switch the click turned.
#include "PanelMessages.h"
#include "PanelProcess.h"
#include "StoredForms.h"
#include "TestSupport.h"
#include "ids_digital.h"
#include "ids_hifi.h"
#include "ids_hp.h"
#include "ids_info.h"
#include "ids_main.h"
#include "resource.h"

#include <gtest/gtest.h>

using namespace storedinput;

namespace {

const std::wstring kStoreRoot = L"Software\\Marvolin\\VANTIR";
constexpr DWORD kStartTimeout = 15000;

// Column button ids by [page][target page] (page numbers 0 Main ... 4 Hp).
constexpr UINT kPageButtons[5][5] = {
    {0, IDC_MAIN_TO_HIFI, IDC_MAIN_TO_DIGITAL, IDC_MAIN_TO_INFO, IDC_MAIN_TO_HP},
    {IDC_HIFI_TO_MAIN, 0, IDC_HIFI_TO_DIGITAL, IDC_HIFI_TO_INFO, IDC_HIFI_TO_HP},
    {IDC_DIGITAL_TO_MAIN, IDC_DIGITAL_TO_HIFI, 0, IDC_DIGITAL_TO_INFO, IDC_DIGITAL_TO_HP},
    {IDC_INFO_TO_MAIN, IDC_INFO_TO_HIFI, IDC_INFO_TO_DIGITAL, 0, IDC_INFO_TO_HP},
    {IDC_HP_TO_MAIN, IDC_HP_TO_HIFI, IDC_HP_TO_DIGITAL, IDC_HP_TO_INFO, 0},
};

void StoreEverywhere(const Form& form)
{
    Store(kStoreRoot + L"\\CPL", L"language", form);
    Store(kStoreRoot + L"\\Digital", L"DigitalOutSr", form);
    for (const wchar_t* name : {L"InitialButtonOn", L"EQPreset", L"RegionStyle", L"Customize", L"Bass", L"Treble",
                                L"ENVEnable", L"Environment", L"RoomEnable", L"RoomSize", L"isDrySoundOn"})
        Store(kStoreRoot + L"\\Hifi", name, form);
    for (int i = 0; i < 10; ++i) {
        Store(kStoreRoot + L"\\Hifi", L"eq_" + std::to_wstring(i), form);
        Store(kStoreRoot + L"\\Custom\\Mine", L"eq_" + std::to_wstring(i), form);
    }
    Store(kStoreRoot + L"\\Custom\\Mine", L"flag", form);
    Store(kStoreRoot + L"\\Info", L"DriverVer", form);
    Store(kStoreRoot + L"\\Info", L"CPLVer", form);
}

bool Answers(HWND wnd)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
}

// Starts the panel, shows every page through the page buttons, presses the
// Hifi page's master switch and ends the panel by Exit.
void WorkThePanel()
{
    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr) << "the panel did not start";
    ASSERT_TRUE(Answers(main));
    HWND pages[5] = {main};
    for (HWND wnd : panel.Windows()) {
        if (::GetWindow(wnd, GW_OWNER) != main)
            continue;
        for (int page = 1; page <= 4; ++page) {
            if (::GetDlgItem(wnd, static_cast<int>(kPageButtons[page][0])))
                pages[page] = wnd;
        }
    }
    for (HWND page : pages)
        ASSERT_NE(page, nullptr);

    // Every page through the page buttons, as their clicks report it.
    ::SendMessageW(main, WM_SHOW_PAGE, 0, 0);
    int current = 0;
    for (int target : {1, 2, 3, 4, 0}) {
        const UINT id = kPageButtons[current][target];
        ::SendMessageW(pages[current], WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(pages[current], static_cast<int>(id))));
        EXPECT_TRUE(::IsWindowVisible(pages[target])) << "page " << target;
        EXPECT_FALSE(::IsWindowVisible(pages[current])) << "page " << current;
        EXPECT_TRUE(Answers(pages[target]));
        current = target;
    }

    // A press on the Hifi page's master switch turns it over.
    RECT master{};
    ::GetWindowRect(::GetDlgItem(pages[1], IDC_HIFI_MASTER), &master);
    ::MapWindowPoints(nullptr, pages[1], reinterpret_cast<POINT*>(&master), 2);
    const LPARAM at = MAKELPARAM((master.left + master.right) / 2, (master.top + master.bottom) / 2);
    ::SendMessageW(pages[1], WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(pages[1], WM_LBUTTONUP, 0, at);

    EXPECT_TRUE(panel.Exit()) << "the panel ended on Exit";
}

TEST(StoredPanelTest, StartsShowsEveryPageAndWritesOnlyWhatItShould)
{
    testsupport::RegistrySnapshot snapshot{kStoreRoot};
    for (const Form& form : Forms()) {
        SCOPED_TRACE(form.label);
        testsupport::DeleteTree(kStoreRoot);
        StoreEverywhere(form);
        Tree expected = Dump(kStoreRoot);
        WorkThePanel();
        ExpectWrite(expected, L"Hifi", L"isDrySoundOn", form.reads == 1 ? L"0" : L"1");
        if (form.reads >= 0 && form.reads <= 2)
            ExpectWrite(expected, L"CPL", L"language", std::to_wstring(form.reads));
        const Tree after = Dump(kStoreRoot);
        EXPECT_TRUE(after == expected) << Difference(expected, after);
    }
}

// Without the subkeys the installer creates (or without the root key) the
// panel works the same, and every write it tries is lost: it creates no key.
TEST(StoredPanelTest, MissingSubkeysAreNeverCreated)
{
    testsupport::RegistrySnapshot snapshot{kStoreRoot};
    for (bool rootToo : {false, true}) {
        SCOPED_TRACE(rootToo ? "no root key" : "no subkeys");
        testsupport::DeleteTree(kStoreRoot);
        if (!rootToo)
            testsupport::CreateKey(kStoreRoot);
        const Tree expected = Dump(kStoreRoot);
        WorkThePanel();
        const Tree after = Dump(kStoreRoot);
        EXPECT_TRUE(after == expected) << Difference(expected, after);
    }
}

} // namespace
