// Endpoint discovery and the eight volume operations, through the panel's
// real Core Audio client code against the stand-in.
#include "AudioTestSupport.h"
#include "CardEndpointWatch.h"
#include "Endpoints.h"

#include <gtest/gtest.h>
#include <mmdeviceapi.h>

using namespace audiotest;

TEST(CardEndpointName, NeedsTheProductWordAndOneOutputWord)
{
    EXPECT_TRUE(IsCardEndpointName(L"VANTIR Digital Output (S/PDIF)"));
    EXPECT_TRUE(IsCardEndpointName(L"VANTIR SPDIF OUT"));          // capitals: compared lower-cased
    EXPECT_TRUE(IsCardEndpointName(L"Vantir Pass-THROUGH"));
    EXPECT_TRUE(IsCardEndpointName(L"VANTIR 数字输出"));             // found whatever the ANSI code page
    EXPECT_FALSE(IsCardEndpointName(L"VANTIR Analog Output"));     // no output word
    EXPECT_FALSE(IsCardEndpointName(L"Realtek Digital Output (S/PDIF)")); // no product word
    EXPECT_FALSE(IsCardEndpointName(L"数字输出"));
    EXPECT_FALSE(IsCardEndpointName(L""));
}

class EndpointsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(CasLoadDefaultScenario());
        m_speakers = IdOf(kSpeakers);
        m_card = IdOf(kCardOutput);
        ASSERT_FALSE(m_speakers.empty());
        ASSERT_FALSE(m_card.empty());
    }
    void TearDown() override { CasLoadDefaultScenario(); }

    std::wstring Add(const wchar_t* name, int flow)
    {
        wchar_t id[80] = {};
        EXPECT_HRESULT_SUCCEEDED(CasAddEndpoint(name, flow, id, 80));
        return id;
    }

    MtaScope m_com;
    std::wstring m_speakers, m_card;
};

TEST_F(EndpointsTest, ScanFindsTheCardEndpointAndTheLaterOfTwoMatches)
{
    EndpointIds ids;
    ASSERT_TRUE(FindCardEndpoint(ids));
    EXPECT_EQ(ids.cardId, m_card);

    std::wstring second = Add(L"VANTIR Line Through", eRender);
    ASSERT_TRUE(FindCardEndpoint(ids));
    EXPECT_EQ(ids.cardId, second);
}

TEST_F(EndpointsTest, ScanCountsACaptureEndpointAndSkipsInactiveOnes)
{
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(m_card.c_str()));
    std::wstring capture = Add(L"VANTIR S/PDIF In", eCapture);
    EndpointIds ids;
    ASSERT_TRUE(FindCardEndpoint(ids));
    EXPECT_EQ(ids.cardId, capture);

    // Disabled: no longer among the active endpoints; the last find stays.
    ASSERT_HRESULT_SUCCEEDED(CasSetEndpointState(capture.c_str(), DEVICE_STATE_DISABLED));
    EXPECT_FALSE(FindCardEndpoint(ids));
    EXPECT_EQ(ids.cardId, capture);
}

TEST_F(EndpointsTest, ScanWithoutAMatchKeepsThePreviousIdentifier)
{
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(m_card.c_str()));
    Add(L"VANTIR Analog Output", eRender);
    Add(L"Realtek S/PDIF", eRender);
    EndpointIds ids;
    ids.cardId = L"previous";
    EXPECT_FALSE(FindCardEndpoint(ids));
    EXPECT_EQ(ids.cardId, L"previous");
}

// The start-up timer's watch: every look answers as a full scan would,
// whatever changed between two looks.
TEST_F(EndpointsTest, WatchFindsTheCardEndpointOnceItBecomesActive)
{
    ASSERT_HRESULT_SUCCEEDED(CasSetEndpointState(m_card.c_str(), DEVICE_STATE_UNPLUGGED));
    CCardEndpointWatch watch;
    EndpointIds ids;
    EXPECT_FALSE(watch.Look(ids));
    EXPECT_FALSE(watch.Look(ids));

    ASSERT_HRESULT_SUCCEEDED(CasSetEndpointState(m_card.c_str(), DEVICE_STATE_ACTIVE));
    ASSERT_TRUE(watch.Look(ids)) << "found on the very next look";
    EXPECT_EQ(ids.cardId, m_card);

    // A second match added later replaces the first, as in the full scan.
    std::wstring second = Add(L"VANTIR Line Through", eRender);
    ASSERT_TRUE(watch.Look(ids));
    EXPECT_EQ(ids.cardId, second);

    // Gone again; a stopped watch starts afresh.
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(second.c_str()));
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(m_card.c_str()));
    EXPECT_FALSE(watch.Look(ids));
    watch.Stop();
    EXPECT_FALSE(watch.Look(ids));
    std::wstring added = Add(kCardOutput, eRender);
    ASSERT_TRUE(watch.Look(ids));
    EXPECT_EQ(ids.cardId, added);
}

static bool FoundWithinASecondOfTicks(CCardEndpointWatch& watch, EndpointIds& ids)
{
    for (unsigned look = 0; look < CCardEndpointWatch::kNamesEvery; ++look)
        if (watch.Look(ids))
            return true;
    return false;
}

TEST_F(EndpointsTest, WatchFindsAnEndpointRenamedOrReadableLater)
{
    // Same identifiers at each look: the names are read again within a second
    // of the start-up timer's ticks.
    ASSERT_HRESULT_SUCCEEDED(CasRenameEndpoint(m_card.c_str(), L"Digital Output"));
    CCardEndpointWatch watch;
    EndpointIds ids;
    ASSERT_FALSE(watch.Look(ids));
    ASSERT_HRESULT_SUCCEEDED(CasRenameEndpoint(m_card.c_str(), kCardOutput));
    EXPECT_TRUE(FoundWithinASecondOfTicks(watch, ids));
    EXPECT_EQ(ids.cardId, m_card);

    watch.Stop();
    ids.cardId.clear();
    ASSERT_HRESULT_SUCCEEDED(CasSetNameUnreadable(m_card.c_str(), 1));
    ASSERT_FALSE(watch.Look(ids));
    ASSERT_HRESULT_SUCCEEDED(CasSetNameUnreadable(m_card.c_str(), 0));
    EXPECT_TRUE(FoundWithinASecondOfTicks(watch, ids));
    EXPECT_EQ(ids.cardId, m_card);
}

TEST_F(EndpointsTest, DefaultOperationsFollowTheCurrentDefault)
{
    EndpointIds ids;
    GetDefaultEndpointId(ids);
    EXPECT_EQ(ids.defaultId, m_speakers);

    EXPECT_TRUE(SetDefaultChannelVolume(1, 0.25f));
    EXPECT_TRUE(SetDefaultMute(TRUE));
    EXPECT_FLOAT_EQ(InfoOf(m_speakers).level[1], 0.25f);
    EXPECT_EQ(InfoOf(m_speakers).mute, 1);

    ASSERT_HRESULT_SUCCEEDED(CasSetDefaultEndpoint(m_card.c_str()));
    EXPECT_TRUE(SetDefaultChannelVolume(1, 0.5f));
    EXPECT_FLOAT_EQ(InfoOf(m_card).level[1], 0.5f);
    EXPECT_FLOAT_EQ(InfoOf(m_speakers).level[1], 0.25f);

    float level = -1.0f;
    BOOL muted = TRUE;
    EXPECT_TRUE(GetDefaultChannelVolume(1, &level));
    EXPECT_TRUE(GetDefaultMute(&muted));
    EXPECT_FLOAT_EQ(level, 0.5f);
    EXPECT_FALSE(muted);
    GetDefaultEndpointId(ids);
    EXPECT_EQ(ids.defaultId, m_card);
}

TEST_F(EndpointsTest, WithoutADefaultEndpointDefaultOperationsLeaveEverythingAlone)
{
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(m_speakers.c_str()));
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(m_card.c_str()));
    float level = -1.0f;
    BOOL muted = 7;
    EXPECT_FALSE(GetDefaultChannelVolume(0, &level));
    EXPECT_FALSE(GetDefaultMute(&muted));
    EXPECT_FALSE(SetDefaultChannelVolume(0, 0.1f));
    EXPECT_FALSE(SetDefaultMute(TRUE));
    EXPECT_EQ(level, -1.0f);
    EXPECT_EQ(muted, 7);
    EndpointIds ids;
    ids.defaultId = L"old";
    GetDefaultEndpointId(ids);
    EXPECT_EQ(ids.defaultId, L"old");
}

TEST_F(EndpointsTest, IdentifierOperationsOnTheCardEndpoint)
{
    EndpointIds ids;
    ASSERT_TRUE(FindCardEndpoint(ids));
    EXPECT_TRUE(SetEndpointChannelVolume(ids.cardId, 0, 0.4f));
    EXPECT_TRUE(SetEndpointMute(ids.cardId, TRUE));
    float level = -1.0f;
    BOOL muted = FALSE;
    EXPECT_EQ(GetEndpointChannelVolume(ids.cardId, 0, &level), S_OK);
    EXPECT_EQ(GetEndpointMute(ids.cardId, &muted), S_OK);
    EXPECT_FLOAT_EQ(level, 0.4f);
    EXPECT_TRUE(muted);
    // The platform answers S_FALSE for a mute that is already set: a success.
    EXPECT_TRUE(SetEndpointMute(ids.cardId, TRUE));
    EXPECT_EQ(GetEndpointMute(ids.cardId, &muted), S_OK);
    EXPECT_TRUE(muted);
    // A channel the endpoint does not have.
    EXPECT_FALSE(SetEndpointChannelVolume(ids.cardId, 2, 0.5f));
    EXPECT_NE(GetEndpointChannelVolume(ids.cardId, 2, &level), S_OK);
}

TEST_F(EndpointsTest, IdentifierOperationsBeforeTheScanOrWithAStaleIdentifierChangeNothing)
{
    EndpointIds beforeScan; // cardId still empty
    std::wstring stale = m_card;
    ASSERT_HRESULT_SUCCEEDED(CasRemoveEndpoint(m_card.c_str()));

    for (const std::wstring& id : {beforeScan.cardId, stale}) {
        float level = -1.0f;
        BOOL muted = 7;
        EXPECT_NE(GetEndpointChannelVolume(id, 0, &level), S_OK);
        EXPECT_NE(GetEndpointMute(id, &muted), S_OK);
        EXPECT_EQ(level, -1.0f);
        EXPECT_EQ(muted, 7);
        EXPECT_FALSE(SetEndpointChannelVolume(id, 0, 0.1f));
        EXPECT_FALSE(SetEndpointMute(id, TRUE));
    }
    EXPECT_FLOAT_EQ(InfoOf(m_speakers).level[0], 0.75f);
    EXPECT_EQ(InfoOf(m_speakers).mute, 0);
}

TEST_F(EndpointsTest, ALevelAboveFullIsRefusedByThePlatform)
{
    EXPECT_FALSE(SetDefaultChannelVolume(0, 1.2f));
    EXPECT_FALSE(SetEndpointChannelVolume(m_card, 0, 1.2f));
    EXPECT_FALSE(SetEndpointChannelVolume(m_card, 0, -0.1f));
    EXPECT_FLOAT_EQ(InfoOf(m_speakers).level[0], 0.75f);
    EXPECT_FLOAT_EQ(InfoOf(m_card).level[0], 1.0f);
}

TEST_F(EndpointsTest, AnEndpointWhoseNameCannotBeReadIsPassedOver)
{
    // A second card-like endpoint after the card's: normally the later match wins.
    std::wstring damaged = Add(L"VANTIR Line Through", eRender);
    ASSERT_HRESULT_SUCCEEDED(CasSetNameUnreadable(damaged.c_str(), 1));
    EndpointIds ids;
    ASSERT_TRUE(FindCardEndpoint(ids)) << "the scan goes on past the damaged endpoint";
    EXPECT_EQ(ids.cardId, m_card);

    // The card's own name unreadable: nothing is found, and nothing breaks.
    ASSERT_HRESULT_SUCCEEDED(CasSetNameUnreadable(m_card.c_str(), 1));
    EndpointIds none;
    EXPECT_FALSE(FindCardEndpoint(none));
    EXPECT_TRUE(none.cardId.empty());
    // Its volume is still reachable by identifier.
    float level = -1.0f;
    EXPECT_EQ(GetEndpointChannelVolume(m_card, 0, &level), S_OK);
}

TEST_F(EndpointsTest, ADefaultEndpointWhoseLevelsCannotBeReadSaysSo)
{
    ASSERT_HRESULT_SUCCEEDED(CasSetLevelsUnreadable(m_speakers.c_str(), 1));
    float level = -1.0f;
    EXPECT_FALSE(GetDefaultChannelVolume(0, &level));
    EXPECT_EQ(level, -1.0f) << "left as it was";
    // It still opens and takes changes.
    EXPECT_TRUE(SetDefaultChannelVolume(1, 0.3f));
    EXPECT_FLOAT_EQ(InfoOf(m_speakers).level[1], 0.3f);
    ASSERT_HRESULT_SUCCEEDED(CasSetLevelsUnreadable(m_speakers.c_str(), 0));
    EXPECT_TRUE(GetDefaultChannelVolume(1, &level));
    EXPECT_FLOAT_EQ(level, 0.3f);
}

TEST_F(EndpointsTest, WithoutACoreAudioServerEveryOperationFailsQuietly)
{
    ASSERT_HRESULT_SUCCEEDED(CasSetFaults(CAS_FAULT_NO_SERVER));
    EndpointIds ids;
    EXPECT_FALSE(FindCardEndpoint(ids));
    GetDefaultEndpointId(ids);
    EXPECT_TRUE(ids.defaultId.empty());
    float level = -1.0f;
    BOOL muted = 7;
    EXPECT_FALSE(GetDefaultChannelVolume(0, &level));
    EXPECT_EQ(level, -1.0f) << "left as it was";
    EXPECT_FALSE(GetDefaultMute(&muted));
    EXPECT_EQ(muted, 7);
    EXPECT_FALSE(SetEndpointMute(m_card, TRUE));
    EXPECT_HRESULT_FAILED(GetEndpointChannelVolume(m_card, 0, &level));
    ASSERT_HRESULT_SUCCEEDED(CasSetFaults(0));
    EXPECT_FALSE(InfoOf(m_card).mute) << "nothing reached the machine";
}
