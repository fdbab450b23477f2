#include "guncodes.h"

namespace GunCodes {

std::array<uchar, 3> values(const QList<int> &gunValues)
{
    return {uchar(gunValues.value(0, 0)), uchar(gunValues.value(1, 0)),
            uchar(gunValues.value(2, 0))};
}

std::array<uchar, 4> command553(int slot, const QList<int> &gunValues, uchar keyboardOption3)
{
    const std::array<uchar, 3> v = values(gunValues);
    const uchar vertical = keyboardOption3 ? uchar(-v[2]) : v[2];
    return {v[0], v[1], vertical, uchar(slot - 1)};
}

} // namespace GunCodes
