// The Digital page's stored output setting and the Info page's version texts
// set to hostile forms: the page starts, shows what the value means, answers
// a click, and the settings key changes only by what the click writes.
#include "DlgDigital.h"
#include "DlgInfo.h"
#include "PageHarness.h"
#include "SimCardControl.h"
#include "StoredForms.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace pagetests;
using namespace storedinput;

namespace {

const std::wstring kStoreRoot = L"Software\\Marvolin\\VANTIR";

class StoredPagesTest : public ::testing::Test {
protected:
    testsupport::RegistrySnapshot snapshot{kStoreRoot};
    OwnerWindow owner;
};

TEST_F(StoredPagesTest, DigitalOutputSetting)
{
    for (const Form& form : Forms()) {
        SCOPED_TRACE(form.label);
        SimCard_Reset();
        testsupport::DeleteTree(kStoreRoot + L"\\Digital");
        Store(kStoreRoot + L"\\Digital", L"DigitalOutSr", form);
        Tree expected = Dump(kStoreRoot);

        auto page = std::make_unique<CDlgDigital>();
        ASSERT_TRUE(page->Create(CDlgDigital::IDD, owner.hwnd()));
        page->SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        page->ShowWindow(SW_SHOWNA);
        testsupport::PumpMessages();

        // 0 ... 4 are shown and sent; any other number leaves the page as
        // it started (off, first rate) and calls nothing.
        const auto setting = CDlgDigital::SettingFor(form.reads);
        const bool on = setting && setting->on;
        EXPECT_EQ(page->OutputSwitch().GetState(), on);
        EXPECT_EQ(page->SwitchLamp().GetState(), on);
        EXPECT_EQ(page->RateSelector().m_currentIndex, setting ? setting->selectorIndex : 0);
        const std::vector<CardCall> sent = CardJournalWithout("CMSUP_GetInterface");
        const std::vector<CardCall> spdif = {CardCall{"CMSUP_SetSpdifStatus", {setting ? setting->spdifStatus : 0}}};
        if (setting)
            EXPECT_EQ(sent, spdif) << Describe(sent);
        else
            EXPECT_TRUE(sent.empty()) << Describe(sent);

        // The switch answers: on from off (lower left), off from on.
        const POINT centre = ChildCentre(page->m_hWnd, IDC_DIGITAL_OUT_SWITCH);
        EXPECT_FALSE(PressOnPage(page->m_hWnd, centre.x, centre.y));
        EXPECT_EQ(page->OutputSwitch().GetState(), !on);
        ExpectWrite(expected, L"Digital", L"DigitalOutSr", on ? L"0" : L"1");
        const Tree after = Dump(kStoreRoot);
        EXPECT_TRUE(after == expected) << Difference(expected, after);
    }
}

TEST_F(StoredPagesTest, InfoVersionTexts)
{
    std::vector<Form> forms = Forms();
    // A stored text never reaches a format: conversions show as they are.
    forms.push_back(Form{L"format conversions", REG_SZ, {}, 0, L"%s%s%n%x%ls %1 {0}"});
    const std::wstring& probe = forms.back().text;
    forms.back().bytes.assign(reinterpret_cast<const BYTE*>(probe.c_str()),
                              reinterpret_cast<const BYTE*>(probe.c_str() + probe.size() + 1));
    for (const Form& form : forms) {
        SCOPED_TRACE(form.label);
        testsupport::DeleteTree(kStoreRoot + L"\\Info");
        Store(kStoreRoot + L"\\Info", L"DriverVer", form);
        Store(kStoreRoot + L"\\Info", L"CPLVer", form);
        const Tree before = Dump(kStoreRoot);

        auto page = std::make_unique<CDlgInfo>();
        ASSERT_TRUE(page->Create(CDlgInfo::IDD, owner.hwnd()));
        page->ShowWindow(SW_SHOWNA);
        testsupport::PumpMessages();
        // Text values up to 1000 characters; another type reads as empty.
        for (int id : {IDC_INFO_DRIVER, IDC_INFO_PANEL}) {
            HWND label = ::GetDlgItem(page->m_hWnd, id);
            std::wstring shown(static_cast<size_t>(::GetWindowTextLengthW(label)) + 1, L'\0');
            shown.resize(static_cast<size_t>(::GetWindowTextW(label, shown.data(), static_cast<int>(shown.size()))));
            EXPECT_EQ(shown, form.text) << "control " << id;
        }
        // A press on the page only moves the window.
        EXPECT_TRUE(PressOnPage(page->m_hWnd, 300, 40));
        EXPECT_EQ(::SendMessageW(page->m_hWnd, WM_NULL, 0, 0), 0);
        const Tree after = Dump(kStoreRoot);
        EXPECT_TRUE(after == before) << Difference(before, after);
    }
}

} // namespace
