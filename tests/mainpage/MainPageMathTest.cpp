#include "MainPageMath.h"

#include <gtest/gtest.h>

#include <limits>

TEST(MainPageMath, KnobTurnsApplyTheBalanceToTheQuieterChannel)
{
    ChannelLevels centred = LevelsForKnob(25, 50);
    EXPECT_FLOAT_EQ(centred.left, 0.5f);
    EXPECT_FLOAT_EQ(centred.right, 0.5f);

    ChannelLevels hardLeft = LevelsForKnob(50, 0);
    EXPECT_FLOAT_EQ(hardLeft.left, 1.0f);
    EXPECT_FLOAT_EQ(hardLeft.right, 0.0f);

    ChannelLevels hardRight = LevelsForKnob(50, 100);
    EXPECT_FLOAT_EQ(hardRight.left, 0.0f);
    EXPECT_FLOAT_EQ(hardRight.right, 1.0f);

    ChannelLevels leanRight = LevelsForKnob(40, 75);
    EXPECT_FLOAT_EQ(leanRight.right, 0.8f);
    EXPECT_FLOAT_EQ(leanRight.left, 0.4f);
    EXPECT_TRUE(RightIsFullLevel(75));
    EXPECT_FALSE(RightIsFullLevel(50));
}

TEST(MainPageMath, LevelsShowAsKnobAndBalance)
{
    KnobAndBalance leftLouder = KnobForLevels(0.8f, 0.4f);
    EXPECT_EQ(leftLouder.knob, 40);
    EXPECT_EQ(leftLouder.balance, 25);

    KnobAndBalance rightLouder = KnobForLevels(0.4f, 0.8f);
    EXPECT_EQ(rightLouder.knob, 40);
    EXPECT_EQ(rightLouder.balance, 75);

    KnobAndBalance silent = KnobForLevels(0.0f, 0.0f);
    EXPECT_EQ(silent.knob, 0);
    EXPECT_EQ(silent.balance, 50);

    // Only one channel silent: the balance goes to the far side.
    EXPECT_EQ(KnobForLevels(0.6f, 0.0f).balance, 0);
    EXPECT_EQ(KnobForLevels(0.0f, 0.6f).balance, 100);
}

TEST(MainPageMath, EveryKnobPositionSurvivesTheRoundTripThroughFloatLevels)
{
    // Another program's change refreshes the page from the levels the panel
    // set: a knob must not creep down a step through float rounding.
    for (int knob = 0; knob <= 50; ++knob) {
        for (int balance : {0, 13, 25, 50, 51, 75, 99, 100}) {
            ChannelLevels levels = LevelsForKnob(knob, balance);
            KnobAndBalance shown = KnobForLevels(levels.left, levels.right);
            EXPECT_EQ(shown.knob, knob) << "balance " << balance;
            if (knob > 0 && balance != 50) {
                EXPECT_NEAR(shown.balance, balance, 1) << "knob " << knob;
            }
        }
    }
}

TEST(MainPageMath, BrokenLevelsShowAsSilence)
{
    KnobAndBalance shown = KnobForLevels(std::numeric_limits<float>::quiet_NaN(), -1.0f);
    EXPECT_EQ(shown.knob, 0);
    EXPECT_EQ(shown.balance, 50);
}
