#pragma once

#include "dpicodes.h"
#include "lightingcodes.h"

#include <array>
#include <optional>

// Family 560 keeps each device profile as a 128-byte block that is read,
// patched and written back whole. These functions patch the bytes a
// setting owns and leave every other byte as it was.
namespace ProfileBlock {

constexpr int size = 128;
constexpr int count = 5;
using Block = std::array<uchar, size>;

namespace Offset {
constexpr int gunSwitchMask = 2;
constexpr int stageColours = 24;       // block 0, colourful devices
constexpr int gunFlags = 65;           // bit 2 cleared for a gun slot
constexpr int lighting = 71;           // mode, parameter 1, parameter 2
constexpr int gunMarker = 78;          // F0H for a gun slot
constexpr int gunValues = 79;          // three values
constexpr int dpiHighBits = 82;        // twice
constexpr int dpiCodes = 84;           // eight codes, twice
constexpr int activeStages = 100;      // mask
constexpr int plainStageColours = 104; // block 1, other devices
} // namespace Offset

void writeDpi(Block &block, const DpiCodes::Codes &codes, uchar activeStageMask,
              std::optional<uchar> highBits);
void writeLighting(Block &block, const LightingCodes::Setting &setting);
void writeStageColours(Block &block, int offset, const LightingCodes::StageColours &colours);
void writeGunSlot(Block &block, const std::array<uchar, 3> &values);

} // namespace ProfileBlock
