#include "Resample.h"

#include <algorithm>
#include <cmath>

namespace {

// The source pixels each pixel of the result covers along one axis, with
// the share of the result each one makes (the shares of one pixel add up to 1).
struct Axis {
    struct Tap {
        int index;
        float share;
    };
    std::vector<Tap> taps;
    std::vector<size_t> begin; // taps of result pixel d: [begin[d], begin[d + 1])

    Axis(int from, int to)
    {
        const double step = static_cast<double>(from) / to;
        begin.reserve(static_cast<size_t>(to) + 1);
        for (int d = 0; d < to; ++d) {
            begin.push_back(taps.size());
            const double lo = d * step;
            const double hi = (d + 1) * step;
            const int first = static_cast<int>(std::floor(lo));
            const int last = std::min(from - 1, static_cast<int>(std::ceil(hi)) - 1);
            for (int s = first; s <= last; ++s) {
                const double covered = std::min(hi, s + 1.0) - std::max(lo, static_cast<double>(s));
                if (covered > 1e-9)
                    taps.push_back({s, static_cast<float>(covered / step)});
            }
        }
        begin.push_back(taps.size());
    }
};

// Area averaging of four channels, the fourth being how much of the pixel
// the first three are spread over (their sums are weighted by it already).
// `load(x, y, out)` gives the four values of a source pixel, `store(x, y, in)`
// takes those of a result pixel.
template <typename Load, typename Store>
void Resample4(int sw, int sh, int dw, int dh, Load load, Store store)
{
    const Axis across(sw, dw);
    const Axis down(sh, dh);
    // Source rows resampled across, kept while result rows still need them.
    std::vector<std::vector<float>> rows(static_cast<size_t>(sh));
    std::vector<float> pixel(4);
    auto row = [&](int y) -> const std::vector<float>& {
        std::vector<float>& r = rows[static_cast<size_t>(y)];
        if (r.empty()) {
            r.assign(static_cast<size_t>(dw) * 4, 0.0f);
            for (int x = 0; x < dw; ++x) {
                float* out = r.data() + static_cast<size_t>(x) * 4;
                for (size_t t = across.begin[x]; t < across.begin[x + 1]; ++t) {
                    load(across.taps[t].index, y, pixel.data());
                    for (int c = 0; c < 4; ++c)
                        out[c] += pixel[c] * across.taps[t].share;
                }
            }
        }
        return r;
    };
    std::vector<float> sum(static_cast<size_t>(dw) * 4);
    int released = 0;
    for (int y = 0; y < dh; ++y) {
        const size_t b = down.begin[y];
        const size_t e = down.begin[y + 1];
        // Rows above this result row's first source row are done with.
        for (; b < e && released < down.taps[b].index; ++released)
            std::vector<float>().swap(rows[static_cast<size_t>(released)]);
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (size_t t = b; t < e; ++t) {
            const std::vector<float>& r = row(down.taps[t].index);
            const float share = down.taps[t].share;
            for (size_t i = 0; i < sum.size(); ++i)
                sum[i] += r[i] * share;
        }
        for (int x = 0; x < dw; ++x)
            store(x, y, sum.data() + static_cast<size_t>(x) * 4);
    }
}

uint8_t ToByte(float v)
{
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

} // namespace

Picture24 ResampleKeyed(const Picture24& source, int width, int height)
{
    Picture24 out;
    if (source.Empty() || width <= 0 || height <= 0)
        return out;
    out.width = width;
    out.height = height;
    out.bgr.resize(static_cast<size_t>(width) * height * 3);
    Resample4(
        source.width, source.height, width, height,
        [&](int x, int y, float* v) {
            const uint8_t* p = source.Row(y) + static_cast<size_t>(x) * 3;
            const bool seeThrough = p[0] == 255 && p[1] == 0 && p[2] == 0;
            v[0] = seeThrough ? 0.0f : p[0];
            v[1] = seeThrough ? 0.0f : p[1];
            v[2] = seeThrough ? 0.0f : p[2];
            v[3] = seeThrough ? 0.0f : 1.0f;
        },
        [&](int x, int y, const float* v) {
            uint8_t* p = out.Row(y) + static_cast<size_t>(x) * 3;
            if (v[3] < 0.5f) {
                p[0] = 255;
                p[1] = 0;
                p[2] = 0;
                return;
            }
            p[0] = ToByte(v[0] / v[3]);
            p[1] = ToByte(v[1] / v[3]);
            p[2] = ToByte(v[2] / v[3]);
            if (p[0] == 255 && p[1] == 0 && p[2] == 0)
                p[0] = 254; // opaque: never the see-through colour
        });
    return out;
}

Picture32 ResampleAlpha(const Picture32& source, int width, int height)
{
    Picture32 out;
    if (source.Empty() || width <= 0 || height <= 0)
        return out;
    out.width = width;
    out.height = height;
    out.bgra.resize(static_cast<size_t>(width) * height * 4);
    Resample4(
        source.width, source.height, width, height,
        [&](int x, int y, float* v) {
            const uint8_t* p = source.bgra.data() + (static_cast<size_t>(y) * source.width + x) * 4;
            const float a = p[3] / 255.0f;
            v[0] = p[0] * a;
            v[1] = p[1] * a;
            v[2] = p[2] * a;
            v[3] = a;
        },
        [&](int x, int y, const float* v) {
            uint8_t* p = out.bgra.data() + (static_cast<size_t>(y) * width + x) * 4;
            if (v[3] <= 0.0f) {
                p[0] = p[1] = p[2] = p[3] = 0;
                return;
            }
            p[0] = ToByte(v[0] / v[3]);
            p[1] = ToByte(v[1] / v[3]);
            p[2] = ToByte(v[2] / v[3]);
            p[3] = ToByte(v[3] * 255.0f);
        });
    return out;
}
