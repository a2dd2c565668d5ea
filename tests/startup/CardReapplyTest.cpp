// The real panel gives the card its stored settings again after a resume and
// when the card's endpoint comes back (a sleep cut the card's power, a driver
// restart set it back): the simulated card loses its power, the test tells
// the panel what Windows would, and the card's journal shows the pages' own
// calls once more; the card ends as the store says. A card that is not ready
// at once is tried again; one that never takes is given up after a few tries,
// with a log line, while the panel keeps answering.
#include "ChildProcess.h"
#include "LogWatch.h"
#include "PanelProcess.h"
#include "SimCardControl.h"
#include "StandInControl.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <mmdeviceapi.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kStartTimeout = 15000;
constexpr DWORD kReapplyTimeout = 15000;
constexpr UINT kShowPage = 0x7E8;
const std::wstring kSettingsKey = L"Software\\Marvolin\\VANTIR";
const wchar_t kCardEndpointName[] = L"VANTIR Digital Output (S/PDIF)";
const char kReapplied[] = "Card settings given again";

struct Call {
    std::string op;
    std::vector<int32_t> args;
    bool refused = false;

    // Sets are compared with their arguments; a Get's argument is what it read.
    bool SameCallAs(const Call& other) const
    {
        return op == other.op && (op.rfind("CMSUP_Get", 0) == 0 || args == other.args);
    }
};

std::vector<Call> Journal()
{
    std::vector<Call> calls;
    for (int32_t i = 0; i < SimCard_JournalCount(); ++i) {
        SimCardCall raw{};
        if (SimCard_JournalEntry(i, &raw))
            calls.push_back({raw.op, std::vector<int32_t>(raw.args, raw.args + raw.argCount), raw.refused != 0});
    }
    return calls;
}

std::string Describe(const std::vector<Call>& calls)
{
    std::string text;
    for (const Call& c : calls) {
        text += c.op;
        for (int32_t a : c.args)
            text += " " + std::to_string(a);
        text += c.refused ? " refused\n" : "\n";
    }
    return text;
}

bool SameCalls(const std::vector<Call>& a, const std::vector<Call>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!a[i].SameCallAs(b[i]))
            return false;
    return true;
}

// The state of the card that the store decides (the Hifi and Digital pages).
std::vector<int32_t> StoredPartOfCard()
{
    std::vector<int32_t> values;
    for (const char* field : {"spdifStatus", "eqStatus", "eqMode", "eqGain0", "eqGain1", "eqGain2", "eqGain3",
                              "eqGain4", "eqGain5", "eqGain6", "eqGain7", "eqGain8", "eqGain9", "envMode",
                              "roomSize"}) {
        int32_t v = 0;
        SimCard_Get(field, &v);
        values.push_back(v);
    }
    return values;
}

void PostResume(HWND main, WPARAM event = PBT_APMRESUMEAUTOMATIC)
{
    ::PostMessageW(main, WM_POWERBROADCAST, event, 0);
}

class CardReapply : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(CasLoadDefaultScenario());
        SimCard_Reset();
        // A user's settings: every group of the Hifi page that reaches the
        // card, and the digital output on at the third rate.
        const std::wstring hifi = kSettingsKey + L"\\Hifi";
        for (const auto& [name, value] :
             std::vector<std::pair<const wchar_t*, const wchar_t*>>{{L"isDrySoundOn", L"1"},
                                                                    {L"InitialButtonOn", L"3"},
                                                                    {L"Customize", L"0"},
                                                                    {L"RoomEnable", L"1"},
                                                                    {L"RoomSize", L"2"},
                                                                    {L"ENVEnable", L"1"},
                                                                    {L"Environment", L"5"},
                                                                    {L"EQPreset", L"4"},
                                                                    {L"RegionStyle", L"2"}})
            testsupport::SetText(hifi, name, value);
        for (int band = 0; band < 10; ++band)
            testsupport::SetText(hifi, L"eq_" + std::to_wstring(band), std::to_wstring((band - 5) * 65536));
        testsupport::SetText(kSettingsKey + L"\\Digital", L"DigitalOutSr", L"3");

        ASSERT_TRUE(m_panel.Start());
        m_main = m_panel.WaitForMainDialog(kStartTimeout);
        ASSERT_NE(m_main, nullptr);
        ASSERT_TRUE(m_panel.WaitForListeners(kStartTimeout)) << "the start is complete";

        // What the pages give the card as they initialise: everything before
        // the Main page's first look at the output switch, without the
        // handles each page asks for.
        for (const Call& c : Journal()) {
            if (c.op == "CMSUP_GetSpkData")
                break;
            if (c.op != "CMSUP_GetInterface")
                m_pagesCalls.push_back(c);
        }
        ASSERT_GE(m_pagesCalls.size(), 9u) << Describe(Journal());
        m_expected = m_pagesCalls;
        m_expected.push_back({"CMSUP_GetSpkData", {}, false}); // and the output switch read again
        m_storedCard = StoredPartOfCard();
    }
    void TearDown() override
    {
        SimCard_SetNotReady(0);
        m_panel.Exit();
        CasLoadDefaultScenario();
        SimCard_Reset();
    }

    // The journal from the last power loss on, split into re-applications:
    // each starts with the pages' first call (the Main page may read the
    // card before, when the card's endpoint comes back).
    std::vector<std::vector<Call>> ReapplicationsSinceLoss() const
    {
        std::vector<Call> calls = Journal();
        size_t from = 0;
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].op == "SimCard_PowerLoss")
                from = i + 1;
        std::vector<std::vector<Call>> runs;
        for (size_t i = from; i < calls.size(); ++i) {
            if (calls[i].SameCallAs(m_pagesCalls.front()))
                runs.emplace_back();
            if (!runs.empty())
                runs.back().push_back(calls[i]);
        }
        return runs;
    }

    PanelProcess m_panel;
    HWND m_main = nullptr;
    std::vector<Call> m_pagesCalls;
    std::vector<Call> m_expected;
    std::vector<int32_t> m_storedCard;
    testsupport::RegistrySnapshot m_settings{kSettingsKey};
};

TEST_F(CardReapply, AResumeAfterAPowerLossGivesTheStoredSettingsAgain)
{
    const testsupport::LogWatch log;
    SimCard_PowerLoss(0);
    ASSERT_NE(StoredPartOfCard(), m_storedCard) << "the loss took the user's settings";

    PostResume(m_main);
    ASSERT_TRUE(log.WaitFor(kReapplied, kReapplyTimeout));
    EXPECT_EQ(log.Count("Card settings given again after a resume: taken"), 1u);
    const auto runs = ReapplicationsSinceLoss();
    ASSERT_EQ(runs.size(), 1u) << Describe(Journal());
    EXPECT_TRUE(SameCalls(runs[0], m_expected)) << "given again:\n"
                                                << Describe(runs[0]) << "at start:\n"
                                                << Describe(m_expected);
    EXPECT_EQ(StoredPartOfCard(), m_storedCard) << "the card is as the store says";

    // A resume the user caused comes as the other event.
    const testsupport::LogWatch second;
    SimCard_PowerLoss(0);
    PostResume(m_main, PBT_APMRESUMESUSPEND);
    ASSERT_TRUE(second.WaitFor(kReapplied, kReapplyTimeout));
    EXPECT_TRUE(second.Contains("after a resume: taken"));
    EXPECT_EQ(StoredPartOfCard(), m_storedCard);
}

TEST_F(CardReapply, TheCardsEndpointComingBackGivesTheStoredSettingsAgain)
{
    wchar_t card[128] = {};
    ASSERT_EQ(CasFindEndpointByName(kCardEndpointName, card, 128), S_OK);

    // A driver restart: the endpoint goes, the card is set back, the endpoint
    // comes again.
    {
        const testsupport::LogWatch log;
        ASSERT_EQ(CasRemoveEndpoint(card), S_OK);
        SimCard_PowerLoss(0);
        wchar_t back[128] = {};
        ASSERT_EQ(CasAddEndpoint(kCardEndpointName, 0, back, 128), S_OK);
        ASSERT_TRUE(log.WaitFor(kReapplied, kReapplyTimeout));
        EXPECT_EQ(log.Count("after the card's endpoint came back: taken"), 1u);
        const auto runs = ReapplicationsSinceLoss();
        ASSERT_EQ(runs.size(), 1u) << Describe(Journal());
        EXPECT_TRUE(SameCalls(runs[0], m_expected)) << Describe(runs[0]);
        EXPECT_EQ(StoredPartOfCard(), m_storedCard);
        std::copy(std::begin(back), std::end(back), std::begin(card));
    }
    // The endpoint disabled and enabled again.
    {
        const testsupport::LogWatch log;
        ASSERT_EQ(CasSetEndpointState(card, DEVICE_STATE_DISABLED), S_OK);
        SimCard_PowerLoss(0);
        ASSERT_EQ(CasSetEndpointState(card, DEVICE_STATE_ACTIVE), S_OK);
        ASSERT_TRUE(log.WaitFor(kReapplied, kReapplyTimeout));
        EXPECT_EQ(log.Count("after the card's endpoint came back: taken"), 1u);
        EXPECT_EQ(StoredPartOfCard(), m_storedCard);
    }
    // Another endpoint coming and going is no reason.
    {
        const testsupport::LogWatch log;
        wchar_t other[128] = {};
        ASSERT_EQ(CasAddEndpoint(L"USB Headset", 0, other, 128), S_OK);
        ASSERT_EQ(CasRemoveEndpoint(other), S_OK);
        // Fence: a resume, whose re-application is the only one.
        PostResume(m_main);
        ASSERT_TRUE(log.WaitFor(kReapplied, kReapplyTimeout));
        EXPECT_EQ(log.Count(kReapplied), 1u);
        EXPECT_TRUE(log.Contains("after a resume"));
    }
}

TEST_F(CardReapply, ABurstOfEventsGivesOneReapplication)
{
    const testsupport::LogWatch log;
    SimCard_PowerLoss(0);
    PostResume(m_main, PBT_APMRESUMEAUTOMATIC);
    PostResume(m_main, PBT_APMRESUMESUSPEND);
    PostResume(m_main, PBT_APMRESUMEAUTOMATIC);
    ASSERT_TRUE(log.WaitFor(kReapplied, kReapplyTimeout));
    // Fence: a later event of its own, whose re-application comes after any
    // the burst might still have had waiting.
    SimCard_PowerLoss(0);
    PostResume(m_main);
    ASSERT_TRUE(log.WaitFor(kReapplied, 2, kReapplyTimeout));
    EXPECT_EQ(log.Count(kReapplied), 2u);
    EXPECT_EQ(ReapplicationsSinceLoss().size(), 1u) << Describe(Journal());
}

TEST_F(CardReapply, ACardNotReadyAtOnceIsTriedAgainAndEndsRight)
{
    const testsupport::LogWatch log;
    SimCard_PowerLoss(600000); // refuses every call until it is made ready below
    PostResume(m_main);
    // Ready once the panel has seen a refusal: a first try refused, whatever
    // the machine's speed.
    const DWORD start = ::GetTickCount();
    while (ReapplicationsSinceLoss().empty()) {
        ASSERT_LT(::GetTickCount() - start, kReapplyTimeout) << "no try was made";
        ::Sleep(20);
    }
    SimCard_SetNotReady(0);
    ASSERT_TRUE(log.WaitFor(kReapplied, kReapplyTimeout));
    EXPECT_TRUE(log.Contains("after a resume: taken at try ")) << "taken, but not at once";
    const auto runs = ReapplicationsSinceLoss();
    ASSERT_GE(runs.size(), 2u) << Describe(Journal());
    EXPECT_TRUE(runs.front().front().refused) << "the first try was refused";
    EXPECT_TRUE(SameCalls(runs.back(), m_expected)) << Describe(runs.back());
    for (const Call& c : runs.back())
        EXPECT_FALSE(c.refused) << c.op << " refused in the last try";
    EXPECT_EQ(StoredPartOfCard(), m_storedCard);
}

TEST_F(CardReapply, ACardThatNeverTakesIsGivenUpAfterAFewTriesWhileThePanelAnswers)
{
    const testsupport::LogWatch log;
    SimCard_PowerLoss(600000);
    const DWORD start = ::GetTickCount();
    PostResume(m_main);
    // The panel answers at once all the while.
    while (!log.Contains(kReapplied)) {
        DWORD_PTR answer = 1;
        ASSERT_NE(::SendMessageTimeoutW(m_main, kShowPage, 0, 99, SMTO_ABORTIFHUNG, 250, &answer), 0)
            << "the panel did not answer within 250 ms";
        EXPECT_EQ(answer, 0u);
        ASSERT_LT(::GetTickCount() - start, kReapplyTimeout) << "never gave up";
        ::Sleep(50);
    }
    EXPECT_LT(::GetTickCount() - start, 8000u) << "given up within about five seconds";
    EXPECT_TRUE(log.Contains("after a resume: refused")) << "the log says why";
    EXPECT_TRUE(log.Contains("given up"));
    const auto runs = ReapplicationsSinceLoss();
    EXPECT_GE(runs.size(), 3u);
    EXPECT_LE(runs.size(), 6u);

    // Fence: once the card is ready a new resume is taken, and the tries
    // given up stay given up.
    SimCard_SetNotReady(0);
    const testsupport::LogWatch after;
    PostResume(m_main);
    ASSERT_TRUE(after.WaitFor(kReapplied, kReapplyTimeout));
    EXPECT_EQ(after.Count(kReapplied), 1u);
    EXPECT_TRUE(after.Contains("taken"));
    EXPECT_EQ(StoredPartOfCard(), m_storedCard);
}

TEST_F(CardReapply, NothingIsLoggedPerClickOrPerVolumeChange)
{
    const testsupport::LogWatch log;
    // Another program turns the volume; the page follows each change.
    for (const wchar_t* level : {L"0.2", L"0.4", L"0.6"})
        ASSERT_EQ(RunBinProgram(L"castool.exe", std::wstring(L"set-level default all ") + level).exitCode, 0u);
    // The user switches pages and mutes and unmutes with the Main page's lamp.
    for (int page : {1, 2, 4, 0})
        ASSERT_EQ(::SendMessageW(m_main, kShowPage, 0, page), 1);
    for (int i = 0; i < 2; ++i)
        ::SendMessageW(m_main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 220));
    // Fence: a resume, whose line is the only one.
    PostResume(m_main);
    ASSERT_TRUE(log.WaitFor(kReapplied, kReapplyTimeout));
    EXPECT_EQ(log.NewLines().size(), 1u) << log.NewLines().front();
}

} // namespace
