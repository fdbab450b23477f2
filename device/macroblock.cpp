#include "macroblock.h"

namespace MacroBlock {

Block fromList(const QList<int> &macroData)
{
    Block block{};
    for (int i = 0; i < size && i < macroData.size(); ++i)
        block[std::size_t(i)] = uchar(macroData.at(i));
    return block;
}

bool isComplete(const QList<int> &macroData)
{
    const qsizetype n = macroData.size();
    if (n <= size - 2)
        return true;
    return n <= size && (macroData.at(n - 2) & 0xFF) == 0 && (macroData.at(n - 1) & 0xFF) == 0;
}

std::optional<uchar> macroNumber(uint slot)
{
    if ((slot & 0xFF) >= slotCount)
        return std::nullopt;
    return uchar(slot + 1);
}

} // namespace MacroBlock
