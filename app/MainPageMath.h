#pragma once
// Conversions between the Main page's knob and balance positions and the
// channel levels of an endpoint (channel 0 left, channel 1 right; a level runs
// from 0.0 silent to 1.0 full; knob position 50 is full level; balance 0 … 100
// with 50 the centre).

struct ChannelLevels {
    float left;
    float right;
};

struct KnobAndBalance {
    int knob;
    int balance;
};

// The levels a knob position gives under a balance: the louder side gets the
// full level p / 50, the other side that level scaled by the balance.
ChannelLevels LevelsForKnob(int knob, int balance);
// True when the right channel is the full-level one (it is set first).
inline bool RightIsFullLevel(int balance)
{
    return balance > 50;
}
// The knob and balance positions that show the given levels.
KnobAndBalance KnobForLevels(float left, float right);
// Truncates toward zero, forgiving the float representation error of values
// that are whole numbers on paper (0.58f * 50 is 28.999998, meant as 29).
int TruncateLevelProduct(double value);
