// The start-up timer of the main dialog: it registers the three listeners on
// the first tick that finds the card endpoint, and then stops. The dialog is
// created in this process, so its timer ticks on this thread, where a timer
// of the test is the fence that proves a still-running start-up timer would
// have ticked. What the process has registered is read from the stand-in.
#include "AudioTestSupport.h"
#include "TestSupport.h"
#include "ZephrinDlg.h"

#include <gtest/gtest.h>
#include <mmdeviceapi.h>

#include <array>
#include <memory>

using namespace audiotest;
using namespace std::chrono_literals;
using testsupport::PumpUntil;

namespace {

using Counts = std::array<int32_t, 3>; // volume, control-change, endpoint notification

// Three active endpoints; the hardware topology behind the default endpoint
// has 30 subunits of which 11 are skipped; one notification client.
constexpr Counts kAllRegistered = {3, 19, 1};

Counts Registrations()
{
    Counts c{};
    CasGetRegistrations(::GetCurrentProcessId(), c.data());
    return c;
}

bool WaitForRegistrations(const Counts& expected, std::chrono::milliseconds timeout)
{
    return PumpUntil([&] { return Registrations() == expected; }, timeout);
}

// Waits until the endpoints have been listed `count` times in all on this
// machine (the stand-in counts every list it hands out).
bool WaitForLists(uint64_t count)
{
    return PumpUntil([&] { return CasEnumerationCount() >= count; }, 30s);
}

// The fence for "the start-up timer ticks no more": a timer of this thread
// with the start-up timer's longest period ticks twice. A thread's timers are
// handed out in the order they fall due, so a start-up timer still running
// would have ticked (and listed the endpoints) before the second tick.
void LetAStartupTimerHaveItsChance()
{
    const UINT_PTR fence = ::SetTimer(nullptr, 0, CZephrinDlg::kStartupTimerSlowPeriod, nullptr);
    ASSERT_NE(fence, 0u);
    MSG msg;
    for (int ticks = 0; ticks < 2 && ::GetMessageW(&msg, nullptr, 0, 0) > 0;) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == fence)
            ++ticks;
        ::DispatchMessageW(&msg);
    }
    ::KillTimer(nullptr, fence);
}

class StartupTimerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CasLoadDefaultScenario()); }
    void TearDown() override
    {
        m_dlg.reset();
        testsupport::PumpMessages(20ms);
        CasLoadDefaultScenario();
    }
    void Start()
    {
        m_dlg = std::make_unique<CZephrinDlg>();
        ASSERT_TRUE(m_dlg->Create(CZephrinDlg::IDD, nullptr));
    }

    testsupport::RegistrySnapshot m_settings{L"Software\\Marvolin\\VANTIR"};
    std::unique_ptr<CZephrinDlg> m_dlg;
};

TEST_F(StartupTimerTest, CardEndpointPresentAtStartRegistersOnceAndStops)
{
    Start();
    ASSERT_TRUE(WaitForRegistrations(kAllRegistered, 20s)) << "registered: " << Registrations()[0] << " "
                                                             << Registrations()[1] << " " << Registrations()[2];
    // A timer still running would list the endpoints and register again on
    // its next tick.
    const uint64_t lists = CasEnumerationCount();
    LetAStartupTimerHaveItsChance();
    EXPECT_EQ(Registrations(), kAllRegistered);
    EXPECT_EQ(CasEnumerationCount(), lists);
}

TEST_F(StartupTimerTest, CardEndpointAppearingLaterIsPickedUpByTheTimer)
{
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(IdOf(kCardOutput).c_str()));
    const uint64_t listsBefore = CasEnumerationCount();
    Start();
    // The fence: the dialog has listed the endpoints many times (its start-up
    // scan and timer ticks) without finding the card, and registered nothing.
    ASSERT_TRUE(WaitForLists(listsBefore + 20))
        << "the dialog listed the endpoints " << CasEnumerationCount() - listsBefore << " times";
    EXPECT_EQ(Registrations(), (Counts{0, 0, 0}));

    ToolResult added = RunTool(L"add " + Quote(kCardOutput) + L" render");
    ASSERT_EQ(added.exitCode, 0u);
    ASSERT_TRUE(WaitForRegistrations(kAllRegistered, 5s));
    const uint64_t lists = CasEnumerationCount();
    LetAStartupTimerHaveItsChance();
    EXPECT_EQ(Registrations(), kAllRegistered);
    EXPECT_EQ(CasEnumerationCount(), lists);
}

TEST_F(StartupTimerTest, ACardEndpointAbsentBeyondTheFirstSecondIsLookedForTwiceASecond)
{
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(IdOf(kCardOutput).c_str()));
    const uint64_t listsBefore = CasEnumerationCount();
    Start();
    // The fence: the start-up scan and the twenty quick looks are done, and
    // the first slow tick has come.
    ASSERT_TRUE(WaitForLists(listsBefore + 22))
        << "the dialog listed the endpoints " << CasEnumerationCount() - listsBefore << " times";

    // Four more looks span at least three whole periods: ticks come late on
    // a busy machine, never early (every 50 ms they would take 150 ms).
    const uint64_t before = CasEnumerationCount();
    const ULONGLONG start = ::GetTickCount64();
    ASSERT_TRUE(WaitForLists(before + 4));
    EXPECT_GE(::GetTickCount64() - start, 1500u);
    EXPECT_EQ(Registrations(), (Counts{0, 0, 0}));

    // And the endpoint coming back is still picked up.
    ToolResult added = RunTool(L"add " + Quote(kCardOutput) + L" render");
    ASSERT_EQ(added.exitCode, 0u);
    EXPECT_TRUE(WaitForRegistrations(kAllRegistered, 5s));
}

} // namespace
