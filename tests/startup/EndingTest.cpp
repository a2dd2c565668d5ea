// How the real panel ends: by the tray menu's Exit, by the system close
// command and at the end of the session. Each way withdraws every listener
// registration before the program lets go of Core Audio; the stand-in keeps
// what the process still had registered when it let go.
#include "PanelProcess.h"
#include "StandInControl.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace {

using Counts = std::array<int32_t, 3>; // volume, control-change, endpoint notification

// Three active endpoints; 19 hardware controls behind the default endpoint;
// one notification client.
constexpr Counts kAllRegistered = {3, 19, 1};
constexpr Counts kNone = {0, 0, 0};
constexpr UINT kExitCommand = 32783;
constexpr DWORD kStartTimeout = 15000;

Counts ToCounts(const int32_t* values) { return {values[0], values[1], values[2]}; }

struct Report {
    bool found = false;
    bool ended = false;
    Counts inForce{};
    Counts registered{};
    Counts withdrawn{};
};

Report ReportOf(DWORD pid)
{
    CasProcessReport raw{};
    Report r;
    r.found = CasGetProcessReport(pid, &raw) == S_OK;
    r.ended = raw.ended != 0;
    r.inForce = ToCounts(raw.inForce);
    r.registered = ToCounts(raw.registered);
    r.withdrawn = ToCounts(raw.withdrawn);
    return r;
}

class Ending : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CasLoadDefaultScenario()); }
    void TearDown() override { CasLoadDefaultScenario(); }

    // Starts the panel, ends it with `end` and checks what the stand-in kept.
    void EndAndCheck(const std::function<void(HWND main, PanelProcess& panel)>& end)
    {
        PanelProcess panel;
        ASSERT_TRUE(panel.Start());
        HWND main = panel.WaitForMainDialog(kStartTimeout);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(panel.WaitForListeners(kStartTimeout)) << "the start-up timer registers the listeners";

        end(main, panel);
        ASSERT_TRUE(panel.WaitForExit(20000)) << "the panel ends by itself";
        EXPECT_EQ(panel.ExitCode(), 0u);

        Report r = ReportOf(panel.Id());
        ASSERT_TRUE(r.found);
        EXPECT_TRUE(r.ended) << "the program let go of Core Audio normally";
        EXPECT_EQ(r.registered, kAllRegistered);
        EXPECT_EQ(r.inForce, kNone) << "registrations still in force when the program let go";
        EXPECT_EQ(r.withdrawn, kAllRegistered) << "each registration is withdrawn by the program itself";
    }
};

TEST_F(Ending, ExitWithdrawsEveryRegistration)
{
    EndAndCheck([](HWND main, PanelProcess&) { ::PostMessageW(main, WM_COMMAND, kExitCommand, 0); });
}

TEST_F(Ending, TheSystemCloseCommandWithdrawsEveryRegistration)
{
    EndAndCheck([](HWND main, PanelProcess&) { ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

TEST_F(Ending, TheEndOfTheSessionWithdrawsEveryRegistrationBeforeItsAnswer)
{
    EndAndCheck([](HWND main, PanelProcess& panel) {
        DWORD_PTR agreed = 0;
        ASSERT_TRUE(::SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000,
                                          &agreed));
        EXPECT_NE(agreed, 0u) << "the panel does not hold the session up";
        ASSERT_TRUE(::SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000,
                                          nullptr));
        // The system may end the process as soon as the answer comes back:
        // by then nothing is registered any more.
        Report r = ReportOf(panel.Id());
        EXPECT_EQ(r.inForce, kNone);
        EXPECT_EQ(r.withdrawn, kAllRegistered);
    });
}

} // namespace
