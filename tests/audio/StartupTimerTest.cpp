// The start-up timer of the real panel (Zephrin.exe): it registers the three
// listeners on the first tick that finds the card endpoint, and then stops.
// What a process has registered is read from the stand-in.
#include "AudioTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <mmdeviceapi.h>

#include <array>

using namespace audiotest;

namespace {

using Counts = std::array<int32_t, 3>; // volume, control-change, endpoint notification

// Three active endpoints; the hardware topology behind the default endpoint
// has 30 subunits of which 11 are skipped; one notification client.
constexpr Counts kAllRegistered = {3, 19, 1};

class Panel {
public:
    Panel()
    {
        std::wstring command = Quote(testsupport::ProgramFolder() + L"\\Zephrin.exe");
        STARTUPINFOW si{};
        si.cb = sizeof si;
        m_started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     testsupport::ProgramFolder().c_str(), &si, &m_pi) != FALSE;
    }
    ~Panel()
    {
        if (!m_started)
            return;
        ::TerminateProcess(m_pi.hProcess, 0);
        ::WaitForSingleObject(m_pi.hProcess, 10000);
        ::CloseHandle(m_pi.hThread);
        ::CloseHandle(m_pi.hProcess);
    }
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    bool started() const { return m_started; }
    bool running() const { return m_started && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }
    Counts Registrations() const
    {
        Counts c{};
        CasGetRegistrations(m_pi.dwProcessId, c.data());
        return c;
    }
    bool WaitForRegistrations(const Counts& expected, DWORD timeoutMs) const
    {
        for (DWORD waited = 0; waited < timeoutMs; waited += 25) {
            if (Registrations() == expected)
                return true;
            ::Sleep(25);
        }
        return Registrations() == expected;
    }

private:
    bool m_started = false;
    PROCESS_INFORMATION m_pi{};
};

// A timer that stopped can only be seen by letting its period pass. The
// panel's start-up timer ticks every 50 ms; a timer of this thread with the
// same period counts ten of them.
void WaitTimerPeriods(int periods)
{
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, nullptr);
    MSG msg;
    for (int ticks = 0; ticks < periods && ::GetMessageW(&msg, nullptr, 0, 0) > 0;) {
        if (msg.message == WM_TIMER && msg.wParam == timer)
            ++ticks;
        ::DispatchMessageW(&msg);
    }
    ::KillTimer(nullptr, timer);
}

// Waits until the endpoints have been listed `count` times in all on this
// machine (the stand-in counts every list it hands out).
bool WaitForLists(uint64_t count)
{
    for (int waited = 0; waited < 30000; waited += 10) {
        if (CasEnumerationCount() >= count)
            return true;
        ::Sleep(10);
    }
    return CasEnumerationCount() >= count;
}

class StartupTimerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CasLoadDefaultScenario()); }
    void TearDown() override { CasLoadDefaultScenario(); }
};

TEST_F(StartupTimerTest, CardEndpointPresentAtStartRegistersOnceAndStops)
{
    Panel panel;
    ASSERT_TRUE(panel.started());
    ASSERT_TRUE(panel.WaitForRegistrations(kAllRegistered, 20000)) << "registered: " << panel.Registrations()[0] << " "
                                                                    << panel.Registrations()[1] << " "
                                                                    << panel.Registrations()[2];
    // A timer still running would list the endpoints and register again on
    // every tick.
    const uint64_t lists = CasEnumerationCount();
    WaitTimerPeriods(10);
    EXPECT_EQ(panel.Registrations(), kAllRegistered);
    EXPECT_EQ(CasEnumerationCount(), lists);
    EXPECT_TRUE(panel.running());
}

TEST_F(StartupTimerTest, CardEndpointAppearingLaterIsPickedUpByTheTimer)
{
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(IdOf(kCardOutput).c_str()));
    const uint64_t listsBefore = CasEnumerationCount();
    Panel panel;
    ASSERT_TRUE(panel.started());
    // The fence: the panel has listed the endpoints many times (its start-up
    // scan and timer ticks) without finding the card, and registered nothing.
    ASSERT_TRUE(WaitForLists(listsBefore + 20))
        << "the panel listed the endpoints " << CasEnumerationCount() - listsBefore << " times";
    ASSERT_TRUE(panel.running());
    EXPECT_EQ(panel.Registrations(), (Counts{0, 0, 0}));

    ToolResult added = RunTool(L"add " + Quote(kCardOutput) + L" render");
    ASSERT_EQ(added.exitCode, 0u);
    ASSERT_TRUE(panel.WaitForRegistrations(kAllRegistered, 5000));
    const uint64_t lists = CasEnumerationCount();
    WaitTimerPeriods(10);
    EXPECT_EQ(panel.Registrations(), kAllRegistered);
    EXPECT_EQ(CasEnumerationCount(), lists);
}

TEST_F(StartupTimerTest, ACardEndpointAbsentBeyondTheFirstSecondIsLookedForTwiceASecond)
{
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(IdOf(kCardOutput).c_str()));
    const uint64_t listsBefore = CasEnumerationCount();
    Panel panel;
    ASSERT_TRUE(panel.started());
    // The fence: the start-up scan and the twenty quick looks are done, and
    // the first slow tick has come.
    ASSERT_TRUE(WaitForLists(listsBefore + 22))
        << "the panel listed the endpoints " << CasEnumerationCount() - listsBefore << " times";

    // Four more looks span at least three whole periods: ticks come late on
    // a busy machine, never early (every 50 ms they would take 150 ms).
    const uint64_t before = CasEnumerationCount();
    const ULONGLONG start = ::GetTickCount64();
    ASSERT_TRUE(WaitForLists(before + 4));
    EXPECT_GE(::GetTickCount64() - start, 1500u);
    EXPECT_EQ(panel.Registrations(), (Counts{0, 0, 0}));

    // And the endpoint coming back is still picked up.
    ToolResult added = RunTool(L"add " + Quote(kCardOutput) + L" render");
    ASSERT_EQ(added.exitCode, 0u);
    EXPECT_TRUE(panel.WaitForRegistrations(kAllRegistered, 5000));
}

} // namespace
