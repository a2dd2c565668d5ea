// No exception crosses a window procedure or a dialog's initialisation: the
// barrier stops it, the message gets the window's own handling, and what was
// caught is reported through the framework's reporter.
#include "Dialog.h"
#include "ErrorReport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> g_reports;
void Record(const wchar_t* text) { g_reports.push_back(text); }

class Reports : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_reports.clear();
        fw::SetErrorReporter(&Record);
    }
    void TearDown() override { fw::SetErrorReporter(nullptr); }
};

constexpr UINT kThrowStandard = WM_APP + 1;
constexpr UINT kThrowOther = WM_APP + 2;

class ThrowingDialog : public CDialog {
public:
    explicit ThrowingDialog(bool throwAtInit) : CDialog(IDD_ABOUTBOX), m_throwAtInit(throwAtInit) {}

protected:
    BOOL OnInitDialog() override
    {
        if (m_throwAtInit)
            throw std::runtime_error("no picture for the page");
        return TRUE;
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == kThrowStandard)
            throw std::length_error("list too long");
        if (msg == kThrowOther)
            throw 42;
        return CDialog::WindowProc(msg, wp, lp);
    }

private:
    bool m_throwAtInit;
};

bool Contains(const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; }

TEST_F(Reports, AHandlersExceptionIsReportedWithItsMessageAndTheWindowLivesOn)
{
    ThrowingDialog dialog(false);
    ASSERT_TRUE(dialog.Create(IDD_ABOUTBOX, nullptr));
    EXPECT_EQ(::SendMessageW(dialog.m_hWnd, kThrowStandard, 0, 0), 0) << "the dialog's own answer";
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_TRUE(Contains(g_reports[0], L"list too long")) << g_reports[0];
    EXPECT_TRUE(Contains(g_reports[0], L"0x8001")) << g_reports[0];
    EXPECT_TRUE(Contains(g_reports[0], L"#32770")) << g_reports[0];

    ::SendMessageW(dialog.m_hWnd, kThrowOther, 0, 0);
    ASSERT_EQ(g_reports.size(), 2u);
    EXPECT_TRUE(Contains(g_reports[1], L"not a standard exception")) << g_reports[1];
    // Still bound to its object.
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_hWnd), &dialog);
}

TEST_F(Reports, AnInitialisationThatThrowsIsReportedAndTheDialogStays)
{
    ThrowingDialog dialog(true);
    ASSERT_TRUE(dialog.Create(IDD_ABOUTBOX, nullptr));
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_TRUE(Contains(g_reports[0], L"no picture for the page")) << g_reports[0];
    EXPECT_TRUE(Contains(g_reports[0], std::to_wstring(IDD_ABOUTBOX).c_str())) << g_reports[0];
    EXPECT_TRUE(::IsWindow(dialog.m_hWnd));
}

} // namespace
