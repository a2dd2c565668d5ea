// The watch over the card library's answers, against the simulated card: it
// counts what the card refused while it lives, and nothing after.
#include "CardAnswerWatch.h"
#include "CmAudioX.h"
#include "SimCardControl.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class CardAnswerWatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimCard_Reset();
        ASSERT_EQ(CMSUP_GetInterface(&handle), 1);
    }
    void TearDown() override { SimCard_Reset(); }
    CMSUP_HANDLE handle = nullptr;
};

TEST_F(CardAnswerWatchTest, CountsTheCallsTheCardRefusedAndOnlyWhileItLives)
{
    int32_t value = 0;
    {
        CCardAnswerWatch watch;
        CMSUP_SetEQStatus(handle, 1);
        CMSUP_GetSpkData(handle, &value);
        EXPECT_EQ(watch.Calls(), 2u);
        EXPECT_EQ(watch.Refusals(), 0u);
        EXPECT_EQ(watch.FirstRefused(), nullptr);
    }

    SimCard_SetNotReady(60000); // just after a resume
    CMSUP_SetRoomSize(handle, 1); // no watch: nobody counts
    {
        CCardAnswerWatch watch;
        CMSUP_SetEnvMode(handle, 5);
        CMSUP_GetCrossOverFrequency(handle, &value);
        SimCard_SetNotReady(0);
        CMSUP_SetSpdifStatus(handle, 2);
        EXPECT_EQ(watch.Calls(), 3u);
        EXPECT_EQ(watch.Refusals(), 2u);
        ASSERT_NE(watch.FirstRefused(), nullptr);
        EXPECT_STREQ(watch.FirstRefused(), "CMSUP_SetEnvMode");
        // A handle the card never handed out is refused too.
        CMSUP_SetEQMode(nullptr, 3);
        EXPECT_EQ(watch.Refusals(), 3u);
    }
    CCardAnswerWatch fresh;
    CMSUP_SetEQMode(nullptr, 3);
    EXPECT_EQ(fresh.Calls(), 1u) << "a new watch starts from nothing";
}

} // namespace
