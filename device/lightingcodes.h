#pragma once

#include <QList>
#include <array>

// The lighting commands' values: the scene's effect, speed step and
// brightness step as the mouse's mode and two parameters, and the colour
// buffer of the eight DPI stages.
namespace LightingCodes {

struct Setting
{
    uchar mode = 0;
    uchar parameter1 = 0;
    uchar parameter2 = 0;
    bool operator==(const Setting &other) const
    {
        return mode == other.mode && parameter1 == other.parameter1 &&
               parameter2 == other.parameter2;
    }
};

// Devices with full colour lighting: effects 0..10 (3 is off).
Setting colourful(uchar effect, uchar option1, uchar option2);
// Devices without: mode, level and variant.
Setting plain(uchar effect, uchar option1, uchar option2);

// Family 553 takes the plain variant only on is55328 devices; the others
// always get variant 2.
constexpr uchar fixedPlainVariant = 2;
// Family 560 without guns marks its single profile with this variant.
constexpr uchar singleProfilePlainVariant = 3;

constexpr int stageColourSize = 24;
using StageColours = std::array<uchar, stageColourSize>;

// Red, green, blue of stages 1 to 8, each element's low byte; missing
// elements are 0, elements beyond the 24th are ignored.
StageColours stageColours(const QList<int> &src24);
// is55328 devices: a colour on stage 8 means a colour per stage; without
// one the stage 1 colour lights the whole mouse.
bool hasEighthStageColour(const StageColours &colours);

} // namespace LightingCodes
