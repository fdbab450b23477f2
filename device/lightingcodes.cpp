#include "lightingcodes.h"

namespace LightingCodes {
namespace {
using SpeedTable = std::array<uchar, 5>;

uchar step(const SpeedTable &table, uchar option)
{
    return option < table.size() ? table[option] : 0;
}

uchar brightness(uchar option2)
{
    constexpr SpeedTable levels{0, 0x40, 0x80, 0xC0, 0xFF};
    return step(levels, option2);
}
} // namespace

Setting colourful(uchar effect, uchar option1, uchar option2)
{
    constexpr SpeedTable flowing{10, 7, 5, 3, 1};
    const uchar b = brightness(option2);
    switch (effect) {
    case 0:
        return {1, b, 0};
    case 1:
        return {3, 0, step(flowing, option1)};
    case 2:
        return {4, 0, step(flowing, option1)};
    case 4:
        return {2, b, 0};
    case 5:
        return {5, b, step(flowing, option1)};
    case 6:
        return {6, 0, 0};
    case 7:
        return {7, b, 0};
    case 8:
        return {8, b, step({20, 17, 15, 13, 11}, option1)};
    case 9:
        return {9, b, step({15, 13, 10, 7, 5}, option1)};
    case 10:
        return {10, b, step({30, 27, 24, 22, 20}, option1)};
    default:
        return {};
    }
}

Setting plain(uchar effect, uchar option1, uchar option2)
{
    switch (effect) {
    case 0:
        return {1, step({1, 3, 5, 7, 10}, option2), 1};
    case 1:
        return {2, uchar(option1 + 1), 1};
    case 2:
        return {3, step({30, 24, 18, 12, 6}, option1), 1};
    case 4:
        return {2, uchar(option1 + 1), 3};
    default:
        return {};
    }
}

StageColours stageColours(const QList<int> &src24)
{
    StageColours colours{};
    for (int i = 0; i < stageColourSize && i < src24.size(); ++i)
        colours[std::size_t(i)] = uchar(src24.at(i));
    return colours;
}

bool hasEighthStageColour(const StageColours &colours)
{
    return colours[21] || colours[22] || colours[23];
}

} // namespace LightingCodes
