// Area averaging, checked against a direct computation of the same
// definition: every pixel of the result is the average of the source area it
// covers (the see-through colour left out, and kept where it covers at
// least half).
#include "Resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

bool IsSeeThrough(const uint8_t* p)
{
    return p[0] == 255 && p[1] == 0 && p[2] == 0;
}

Picture24 Make(int w, int h, unsigned seed, double seeThroughShare)
{
    Picture24 p;
    p.width = w;
    p.height = h;
    p.bgr.resize(static_cast<size_t>(w) * h * 3);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* px = p.Row(y) + x * 3;
            // A see-through corner, like a page's outside.
            if (x + y < seeThroughShare * (w + h)) {
                px[0] = 255;
                px[1] = px[2] = 0;
                continue;
            }
            for (int c = 0; c < 3; ++c)
                px[c] = static_cast<uint8_t>(random() % 200);
        }
    }
    return p;
}

// The definition, pixel by pixel, in double precision: no separable passes.
struct Expected {
    bool seeThrough;
    double colour[3];
    double coverage; // of opaque source pixels
};

Expected Direct(const Picture24& s, int w, int h, int x, int y)
{
    const double sx = static_cast<double>(s.width) / w;
    const double sy = static_cast<double>(s.height) / h;
    double sum[3] = {};
    double opaque = 0;
    for (int v = 0; v < s.height; ++v) {
        const double oy = std::min((y + 1) * sy, v + 1.0) - std::max(y * sy, static_cast<double>(v));
        if (oy <= 0)
            continue;
        for (int u = 0; u < s.width; ++u) {
            const double ox = std::min((x + 1) * sx, u + 1.0) - std::max(x * sx, static_cast<double>(u));
            if (ox <= 0)
                continue;
            const uint8_t* p = s.Row(v) + u * 3;
            if (IsSeeThrough(p))
                continue;
            const double a = ox * oy;
            opaque += a;
            for (int c = 0; c < 3; ++c)
                sum[c] += a * p[c];
        }
    }
    Expected e{};
    e.coverage = opaque / (sx * sy);
    e.seeThrough = e.coverage < 0.5;
    for (int c = 0; c < 3; ++c)
        e.colour[c] = opaque > 0 ? sum[c] / opaque : 0;
    return e;
}

TEST(Resample, MatchesTheDirectAreaAverageForReductionsAndEnlargements)
{
    struct Sizes {
        int sw, sh, dw, dh;
    };
    // 2x to 1x, 1.5x to 1.25x, odd ratios, and enlargements (2x to 2.5x).
    for (const Sizes& z : {Sizes{40, 30, 20, 15}, Sizes{59, 32, 49, 26}, Sizes{23, 17, 10, 7}, Sizes{20, 14, 25, 18},
                           Sizes{7, 5, 16, 11}}) {
        SCOPED_TRACE(std::to_string(z.sw) + "x" + std::to_string(z.sh) + " to " + std::to_string(z.dw) + "x" +
                     std::to_string(z.dh));
        const Picture24 source = Make(z.sw, z.sh, static_cast<unsigned>(z.sw * 31 + z.dw), 0.3);
        const Picture24 got = ResampleKeyed(source, z.dw, z.dh);
        ASSERT_EQ(got.width, z.dw);
        ASSERT_EQ(got.height, z.dh);
        int checked = 0;
        for (int y = 0; y < z.dh; ++y) {
            for (int x = 0; x < z.dw; ++x) {
                const Expected e = Direct(source, z.dw, z.dh, x, y);
                if (std::fabs(e.coverage - 0.5) < 1e-3)
                    continue; // a tie, either answer is right
                const uint8_t* p = got.Row(y) + x * 3;
                ASSERT_EQ(IsSeeThrough(p), e.seeThrough) << x << ", " << y;
                if (e.seeThrough)
                    continue;
                for (int c = 0; c < 3; ++c)
                    ASSERT_NEAR(p[c], e.colour[c], 1.0) << x << ", " << y << " channel " << c;
                ++checked;
            }
        }
        EXPECT_GT(checked, z.dw * z.dh / 3);
    }
}

TEST(Resample, AOnePixelLineSurvivesAReductionAtItsShare)
{
    // What nearest-neighbour scaling gets wrong: a thin line is dropped or kept
    // whole, depending on where it falls.
    Picture24 p;
    p.width = 8;
    p.height = 4;
    p.bgr.assign(8 * 4 * 3, 0);
    for (int y = 0; y < 4; ++y) {
        uint8_t* px = p.Row(y) + 3 * 3; // column 3
        px[0] = px[1] = px[2] = 200;
    }
    const Picture24 half = ResampleKeyed(p, 4, 2);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(half.Row(y)[1 * 3], 100) << "columns 2 and 3 make column 1";
        EXPECT_EQ(half.Row(y)[0], 0);
        EXPECT_EQ(half.Row(y)[2 * 3], 0);
    }
}

TEST(Resample, AnOpaqueAverageIsNeverTheSeeThroughColour)
{
    // Blue-green-red pixels whose average rounds to pure blue.
    Picture24 p;
    p.width = 2;
    p.height = 2;
    p.bgr = {255, 1, 0, 255, 0, 1, 254, 0, 0, 254, 0, 0};
    const Picture24 one = ResampleKeyed(p, 1, 1);
    EXPECT_EQ(one.bgr, (std::vector<uint8_t>{254, 0, 0}));
}

TEST(Resample, TransparentPixelsLendNoColourToTheirNeighbours)
{
    // Left half opaque red, right half transparent green.
    Picture32 p;
    p.width = 4;
    p.height = 1;
    p.bgra = {0, 0, 255, 255, 0, 0, 255, 255, 0, 255, 0, 0, 0, 255, 0, 0};
    const Picture32 got = ResampleAlpha(p, 3, 1);
    const uint8_t* middle = got.bgra.data() + 4;
    EXPECT_EQ(middle[0], 0);
    EXPECT_EQ(middle[1], 0);
    EXPECT_EQ(middle[2], 255);
    EXPECT_NEAR(middle[3], 128, 1);
    EXPECT_EQ(got.bgra[4 * 2 + 3], 0);
}

} // namespace
