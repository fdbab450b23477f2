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
// entry. Each controller family has its own entry for the sniper key.
Entry translate(const Entry &record, const Entry &sniperKey);

// Records k at 4k .. 4k+3, each value's low byte, missing values 0, as they
// stand (the firmware table travels untranslated).
Block fromRecords(const QList<int> &records);

// Device slots 5 to 9 carry records 8, 7, 7, 6 and 5.
Block reorderSlots(const Block &records);

// The user's matrix: every record translated, then the slots reordered.
Block userMatrix(const QList<int> &src64, const Entry &sniperKey);

bool hasGunSwitch(const Block &matrix);

// Byte `index` of entry `slot`.
uchar &byteOf(Block &block, int slot, int index);

// A gun preset switch needs four matrices: the user's and one per gun
// preset built from the firmware table, whose entry 0 carries the preset's
// fire period. Each family then links the presets in its own way; family
// 560 also marks the presets in use in profile block 0 (gunSwitchMask).
struct GunSwitchSet
{
    std::array<Block, 4> matrices;
    std::optional<uchar> gunSwitchMask;
};

// The family's marks on the switch in `slot`, which selects gun preset
// `preset` (byte 2 of the user's entry).
using GunSwitchLinks = void (*)(GunSwitchSet &set, int slot, uchar preset);

// M1 the user's matrix, M2 to M4 the firmware table with every switch slot
// typed 08H, each switch linked by `links`, and then entry 0 of M2 to M4
// the fire period of gun 1 to 3 (`otherParam`, missing periods 0).
GunSwitchSet expandGunSwitch(const Block &userMatrix, const Block &firmware,
                             const QList<int> &otherParam, GunSwitchLinks links);

} // namespace KeyMatrixCodes
