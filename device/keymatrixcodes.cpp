#include "keymatrixcodes.h"

namespace KeyMatrixCodes {
namespace {
Entry entryAt(const Block &block, int slot)
{
    Entry entry{};
    for (int i = 0; i < entrySize; ++i)
        entry[std::size_t(i)] = block[std::size_t(slot * entrySize + i)];
    return entry;
}

void setEntry(Block &block, int slot, const Entry &entry)
{
    for (int i = 0; i < entrySize; ++i)
        block[std::size_t(slot * entrySize + i)] = entry[std::size_t(i)];
}

// The double click the assignment screen writes: left button, code 1E, with
// either third code.
bool isDoubleClick(const Entry &r)
{
    if (r[2] != 0x1E)
        return false;
    return r[3] == 3 || (r[1] == 0xF0 && r[3] == 2);
}
} // namespace

uchar &byteOf(Block &block, int slot, int index)
{
    return block[std::size_t(slot * entrySize + index)];
}

Entry translate(const Entry &record, const Entry &sniperKey)
{
    Entry e = record;
    switch (record[0]) {
    case 0x00:
        e[0] = isDoubleClick(record) ? 0x0A : 0x01;
        break;
    case 0x01:
        e[0] = 0x0A;
        break;
    case 0x02:
    case 0x06:
    case 0x07:
        e[0] = 0x00;
        break;
    case 0x03:
        e[0] = 0x03;
        break;
    case 0x04:
        e[0] = 0x09;
        e[2] = uchar(record[2] + 1);
        break;
    case 0x05:
        if (record[2] == 4)
            e = sniperKey;
        else
            e[0] = 0x07;
        break;
    case 0xFF:
        e[0] = 0x04;
        break;
    default: // 08H (gun preset switch) and unlisted categories pass as they are
        break;
    }
    return e;
}

Block fromRecords(const QList<int> &records)
{
    Block block{};
    for (int i = 0; i < blockSize && i < records.size(); ++i)
        block[std::size_t(i)] = uchar(records.at(i));
    return block;
}

Block reorderSlots(const Block &records)
{
    Block block = records;
    setEntry(block, 5, entryAt(records, 8));
    setEntry(block, 6, entryAt(records, 7));
    setEntry(block, 7, entryAt(records, 7));
    setEntry(block, 8, entryAt(records, 6));
    setEntry(block, 9, entryAt(records, 5));
    return block;
}

Block userMatrix(const QList<int> &src64, const Entry &sniperKey)
{
    Block translated = fromRecords(src64);
    for (int k = 0; k < entryCount; ++k)
        setEntry(translated, k, translate(entryAt(translated, k), sniperKey));
    return reorderSlots(translated);
}

bool hasGunSwitch(const Block &matrix)
{
    for (int k = 0; k < entryCount; ++k) {
        if (matrix[std::size_t(k * entrySize)] == gunSwitchType)
            return true;
    }
    return false;
}

GunSwitchSet expandGunSwitch(const Block &userMatrix, const Block &firmware,
                             const QList<int> &otherParam, GunSwitchLinks links)
{
    GunSwitchSet set{{userMatrix, firmware, firmware, firmware}, std::nullopt};
    for (int k = 0; k < entryCount; ++k) {
        if (userMatrix[std::size_t(k * entrySize)] != gunSwitchType)
            continue;
        for (int m = 1; m < 4; ++m)
            byteOf(set.matrices[std::size_t(m)], k, 0) = gunSwitchType;
        links(set, k, userMatrix[std::size_t(k * entrySize + 2)]);
    }
    for (int m = 1; m < 4; ++m) {
        const Entry fire{0x0B, uchar(m - 1), uchar(otherParam.value(m - 1, 0)), 0x00};
        setEntry(set.matrices[std::size_t(m)], 0, fire);
    }
    return set;
}

} // namespace KeyMatrixCodes
