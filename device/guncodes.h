#pragma once

#include <QList>
#include <array>

// The values of a gun slot as the mouse takes them: the scene passes
// [times, X, Y] (further elements are ignored, missing ones count as 0).
namespace GunCodes {

constexpr int firstSlot = 1;
constexpr int lastSlot = 3;
inline bool isSlot(int slot)
{
    return slot >= firstSlot && slot <= lastSlot;
}

// Each value's low byte.
std::array<uchar, 3> values(const QList<int> &gunValues);

// Family 553's 04H arguments: the first two values, the third negated
// (modulo 256) while the third keyboard option byte is set, and the slot
// counted from 0.
std::array<uchar, 4> command553(int slot, const QList<int> &gunValues, uchar keyboardOption3);

} // namespace GunCodes
