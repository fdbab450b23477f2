#pragma once

#include <QList>
#include <array>
#include <optional>

// The device's key matrix: 16 entries of 4 bytes (type and three
// parameters), built from the scene's assignment records.
namespace KeyMatrixCodes {

constexpr int entryCount = 16;
constexpr int entrySize = 4;
constexpr int blockSize = entryCount * entrySize;
using Entry = std::array<uchar, entrySize>;
using Block = std::array<uchar, blockSize>;

constexpr uchar gunSwitchType = 0x08;

// One record (category and three codes, each its low byte) as a device
// entry; family 560 encodes the sniper key differently.
Entry translate(const Entry &record, bool family560);

// Records k at 4k .. 4k+3, each value's low byte, missing values 0, as they
// stand (the firmware table travels untranslated).
Block fromRecords(const QList<int> &records);

// Device slots 5 to 9 carry records 8, 7, 7, 6 and 5.
Block reorderSlots(const Block &records);

// The user's matrix: every record translated, then the slots reordered.
Block userMatrix(const QList<int> &src64, bool family560);

bool hasGunSwitch(const Block &matrix);

// A gun preset switch needs four matrices: the user's and one per gun
// preset built from the firmware table, whose entry 0 carries the preset's
// fire period (`otherParam`, missing periods 0). Family 560 also marks the
// presets in use in profile block 0 (gunSwitchMask).
struct GunSwitchSet
{
    std::array<Block, 4> matrices;
    std::optional<uchar> gunSwitchMask;
};
GunSwitchSet expandGunSwitch(const Block &userMatrix, const Block &firmware,
                             const QList<int> &otherParam, bool family560);

} // namespace KeyMatrixCodes
