#pragma once

#include <QList>
#include <array>
#include <optional>

// A macro as the mouse stores it: the scene's event encoding, one byte per
// element, in a block of 128 bytes.
namespace MacroBlock {

constexpr int size = 128;
constexpr int slotCount = 12;
using Block = std::array<uchar, size>;

// Each element's low byte; the rest 0, elements beyond the block cut off.
Block fromList(const QList<int> &macroData);

// Whether the block keeps the encoding's closing 00 00: the list fits with
// room for zero padding, or fills the block and ends with it. The firmware
// plays a block without its end on into whatever follows.
bool isComplete(const QList<int> &macroData);

// The device's macro number (1 to 12) for a slot; none when the slot's low
// byte is 12 or more.
std::optional<uchar> macroNumber(uint slot);

} // namespace MacroBlock
