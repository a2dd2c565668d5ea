#include "HifiModel.h"

namespace hifi {

int32_t GainToSliderPos(int32_t gain)
{
    // -INT32_MIN does not exist: such a gain is far below the range anyway.
    int64_t pos = -static_cast<int64_t>(gain);
    if (pos > kSliderMax)
        pos = kSliderMax;
    if (pos < kSliderMin)
        pos = kSliderMin;
    return static_cast<int32_t>(pos);
}

namespace {
constexpr std::array<GainArray, model::kRegionStyleCount> kRegionCurves = {{
    // Pure Monitor
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    // USA Style
    {367002, 235930, 91750, 0, 0, -183501, -327680, -314573, -52429, -52429},
    // England Style
    {-196608, 0, 144179, 249037, 301466, 288358, 157286, 91750, 78643, 26214},
    // Japanese Style
    {-275251, 196608, 0, 262144, -262144, 314573, -52429, 419430, 275251, 26214},
    // Germany Style
    {0, 235930, -26214, -222822, -406323, -249037, 0, 340787, 144179, -170394},
}};

constexpr std::array<int32_t, model::kEnvironmentCount> kEnvironmentCodes = {
    1, 2, 3, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 24, 25, 26};
} // namespace

const GainArray* RegionCurve(int style)
{
    if (style < 0 || style >= model::kRegionStyleCount)
        return nullptr;
    return &kRegionCurves[static_cast<size_t>(style)];
}

int PresetCellColumn(int cellId)
{
    if (cellId == 1045 || (cellId >= 1057 && cellId <= 1059))
        return 0;
    if (cellId >= 1060 && cellId <= 1063)
        return 1;
    if (cellId >= 1064 && cellId <= 1067)
        return 2;
    return -1;
}

GainArray BassTrebleGains(int bassPos, int treblePos)
{
    const int32_t b = (bassPos - 20) * model::kOneDb;
    const int32_t t = (treblePos - 20) * model::kOneDb;
    return {b, b, b, b, 0, 0, 0, t, t, t};
}

int32_t EnvironmentCode(int selector)
{
    if (selector == 0)
        return kEnvironmentOffCode;
    if (selector < 1 || selector > model::kEnvironmentCount)
        return -1;
    return kEnvironmentCodes[static_cast<size_t>(selector - 1)];
}

int RoomSizeAt(int y, int top, int bottom)
{
    const int third = (bottom - top) / 3;
    const int t1 = top + third;
    const int t2 = top + 2 * third;
    if (y < t1)
        return 0;
    if (y > t1 && y < t2)
        return 1;
    if (y > t2)
        return 2;
    return -1;
}

Warning PresetWarning(NameCheck problem, std::optional<model::Language> language)
{
    static constexpr model::ByLanguage<Warning> kDuplicate{
        {L"此名稱已存在.", L"警告"},
        {L"此名称已存在.", L"警告"},
        {L"This name already exists.", L"Warning"},
    };
    static constexpr model::ByLanguage<Warning> kInvalid{
        {L"請指定一個有效名稱.", L"警告"},
        {L"请指定一个有效名称.", L"警告"},
        {L"Please specify a valid name.", L"Warning"},
    };
    if (!language || problem == NameCheck::Ok)
        return {nullptr, nullptr};
    return problem == NameCheck::Duplicate ? kDuplicate[*language] : kInvalid[*language];
}

} // namespace hifi
