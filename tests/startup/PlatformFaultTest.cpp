// The real panel on a faulty machine: no Core Audio server, a card whose
// library answers every read outside 0 and 1, a card that hands out a null
// interface handle. The panel starts, every page shows, it ends by Exit.
#include "PanelMessages.h"
#include "PanelProcess.h"
#include "SimCardControl.h"
#include "StandInControl.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr DWORD kStartTimeout = 15000;
const std::wstring kSettingsKey = L"Software\\Marvolin\\VANTIR";

int32_t RegisteredTotal(DWORD pid)
{
    CasProcessReport report{};
    if (CasGetProcessReport(pid, &report) != S_OK)
        return 0;
    return report.inForce[0] + report.inForce[1] + report.inForce[2];
}

// Shows every page in turn, as the page column would; each must answer.
void ShowEveryPage(HWND main, PanelProcess& panel)
{
    for (int page : {1, 2, 3, 4, 0}) {
        EXPECT_EQ(::SendMessageW(main, WM_SHOW_PAGE, 0, page), 1) << "page " << page;
        EXPECT_FALSE(panel.VisibleWindows().empty()) << "page " << page << " shows";
    }
    EXPECT_FALSE(panel.WaitForExit(0)) << "the panel keeps running";
}

class PlatformFault : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(CasLoadDefaultScenario());
        SimCard_Reset();
    }
    void TearDown() override
    {
        CasLoadDefaultScenario(); // also clears the machine's faults
        SimCard_Reset();
    }
    testsupport::RegistrySnapshot settings{kSettingsKey};
};

TEST_F(PlatformFault, WithoutACoreAudioServerThePagesShowAndTheListenersComeWithTheServer)
{
    ASSERT_HRESULT_SUCCEEDED(CasSetFaults(CAS_FAULT_NO_SERVER));
    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);
    ShowEveryPage(main, panel);
    EXPECT_EQ(RegisteredTotal(panel.Id()), 0) << "nothing to register with";

    // The server comes up: the start-up timer, still looking for the card's
    // endpoint, finds it and registers every listener.
    ASSERT_HRESULT_SUCCEEDED(CasSetFaults(0));
    EXPECT_TRUE(panel.WaitForListeners(kStartTimeout));
    EXPECT_TRUE(panel.Exit());
    EXPECT_EQ(panel.ExitCode(), 0u);
}

TEST_F(PlatformFault, ACardAnsweringEveryReadOutsideZeroAndOne)
{
    SimCard_Set("spkData", 2);
    SimCard_Set("flexBass", 7);
    SimCard_Set("largeSpeakers", -1);
    SimCard_Set("impedanceMode", 2);
    SimCard_Set("crossover", -5);
    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);
    ShowEveryPage(main, panel);
    EXPECT_TRUE(panel.Exit());
    EXPECT_EQ(panel.ExitCode(), 0u);
    // What was read is not written back: a read is not a user's choice.
    int32_t value = 0;
    SimCard_Get("crossover", &value);
    EXPECT_EQ(value, -5);
    SimCard_Get("spkData", &value);
    EXPECT_EQ(value, 2);
}

TEST_F(PlatformFault, ACardHandingOutANullInterfaceHandle)
{
    SimCard_Set("nullInterface", 1);
    PanelProcess panel;
    ASSERT_TRUE(panel.Start());
    HWND main = panel.WaitForMainDialog(kStartTimeout);
    ASSERT_NE(main, nullptr);
    ShowEveryPage(main, panel);
    EXPECT_TRUE(panel.Exit());
    EXPECT_EQ(panel.ExitCode(), 0u);
    // Every operation the panel called went to the card with the handle it
    // was given; none of them found a card to change.
    bool sawCall = false;
    for (int32_t i = 0; i < SimCard_JournalCount(); ++i) {
        SimCardCall call{};
        if (SimCard_JournalEntry(i, &call)) {
            sawCall = true;
            EXPECT_EQ(call.handle, 0) << call.op;
        }
    }
    EXPECT_TRUE(sawCall);
}

} // namespace
