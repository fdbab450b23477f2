#include "profileblock.h"

#include <algorithm>

namespace ProfileBlock {

void writeDpi(Block &block, const DpiCodes::Codes &codes, uchar activeStageMask,
              std::optional<uchar> highBits)
{
    std::copy(codes.begin(), codes.end(), block.begin() + Offset::dpiCodes);
    std::copy(codes.begin(), codes.end(), block.begin() + Offset::dpiCodes + DpiCodes::stageCount);
    block[Offset::activeStages] = activeStageMask;
    if (highBits) {
        block[Offset::dpiHighBits] = *highBits;
        block[Offset::dpiHighBits + 1] = *highBits;
    }
}

void writeLighting(Block &block, const LightingCodes::Setting &setting)
{
    block[Offset::lighting] = setting.mode;
    block[Offset::lighting + 1] = setting.parameter1;
    block[Offset::lighting + 2] = setting.parameter2;
}

void writeStageColours(Block &block, int offset, const LightingCodes::StageColours &colours)
{
    if (offset < 0 || offset + LightingCodes::stageColourSize > size)
        return;
    std::copy(colours.begin(), colours.end(), block.begin() + offset);
}

void writeGunSlot(Block &block, const std::array<uchar, 3> &values)
{
    block[Offset::gunFlags] &= uchar(~0x04);
    block[Offset::gunMarker] = 0xF0;
    std::copy(values.begin(), values.end(), block.begin() + Offset::gunValues);
}

} // namespace ProfileBlock
