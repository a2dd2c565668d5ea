// Where the panel's named ideas meet the numbers of the outside: every number
// a message or the store may carry either names one idea or none.
#include "PanelModel.h"

#include <gtest/gtest.h>

using namespace model;

TEST(PanelModel, NumbersFromOutsideNameAnIdeaOrNone)
{
    for (int n = 0; n < kLanguageCount; ++n)
        EXPECT_EQ(LanguageFromNumber(n), static_cast<Language>(n));
    // A message's whole lParam counts: high bits do not fold onto a language.
    for (long long n : {-1LL, 3LL, 0x100000000LL, 0x100000002LL, -0x100000000LL})
        EXPECT_EQ(LanguageFromNumber(n), std::nullopt) << n;

    for (Page page : kPages)
        EXPECT_EQ(PageFromNumber(Number(page)), page);
    for (long long n : {-1LL, 5LL, 0x100000001LL})
        EXPECT_EQ(PageFromNumber(n), std::nullopt) << n;

    EXPECT_EQ(ToneGroupFromNumber(-1), ToneGroup::None);
    EXPECT_EQ(ToneGroupFromNumber(3), ToneGroup::Equalizer);
    EXPECT_EQ(ToneGroupFromNumber(-2), std::nullopt);
    EXPECT_EQ(ToneGroupFromNumber(4), std::nullopt);

    // The card reports headphones only as 1.
    EXPECT_EQ(OutputSwitchFromCard(1), OutputSwitch::Headphones);
    for (int32_t value : {0, -1, 2, Number(OutputSwitch::Speakers)})
        EXPECT_EQ(OutputSwitchFromCard(value), OutputSwitch::Speakers) << value;
}
