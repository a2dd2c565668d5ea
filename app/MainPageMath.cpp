#include "MainPageMath.h"

#include <cmath>

int TruncateLevelProduct(double value)
{
    // Levels are floats: a product that should be a whole number can land a
    // hair below it. Nudge by far less than one step before truncating.
    constexpr double kRepresentationSlack = 1e-4;
    return static_cast<int>(value >= 0 ? value + kRepresentationSlack : value - kRepresentationSlack);
}

ChannelLevels LevelsForKnob(int knob, int balance)
{
    const double full = knob / 50.0;
    if (balance <= 50) {
        const double right = knob * (balance / 50.0) / 50.0;
        return {static_cast<float>(full), static_cast<float>(right)};
    }
    const double left = knob * ((100 - balance) / 50.0) / 50.0;
    return {static_cast<float>(left), static_cast<float>(full)};
}

namespace {
// A level the endpoint could not give sensibly (NaN, negative) shows as silence.
float SaneLevel(float level)
{
    return std::isfinite(level) && level > 0.0f ? level : 0.0f;
}
} // namespace

KnobAndBalance KnobForLevels(float left, float right)
{
    left = SaneLevel(left);
    right = SaneLevel(right);
    double m;
    int balance;
    if (right < left) {
        m = left;
        balance = left > 0 ? TruncateLevelProduct(static_cast<double>(right) / left * 50.0) : 50;
    } else if (right > left) {
        m = right;
        balance = right > 0 ? TruncateLevelProduct(100.0 - static_cast<double>(left) / right * 50.0) : 50;
    } else {
        m = right;
        balance = 50;
    }
    return {TruncateLevelProduct(m * 50.0), balance};
}
