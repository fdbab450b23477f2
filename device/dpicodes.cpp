#include "dpicodes.h"

namespace DpiCodes {
namespace {
struct Threshold
{
    int dpi;
    uchar code;
};
constexpr Threshold thresholds3050[] = {
    {250, 1},  {500, 2},  {750, 3},     {1000, 4},    {1250, 5},    {1500, 6},
    {1750, 7}, {2000, 8}, {2500, 0x45}, {3000, 0x46}, {3500, 0x47}, {4000, 0x48},
};

uchar code3050(int dpi)
{
    for (const Threshold &t : thresholds3050) {
        if (dpi <= t.dpi)
            return t.code;
    }
    return 0;
}
} // namespace

uchar code(const QString &sensorType, int dpi)
{
    if (sensorType == QLatin1String("3360"))
        return uchar(dpi / 100 - 1);
    if (sensorType == QLatin1String("3050"))
        return code3050(dpi);
    if (sensorType == QLatin1String("3389"))
        return uchar(dpi / 50);
    if (dpi > 5000)
        return uchar((dpi / 200) | 0x40);
    return uchar(dpi / 100 - 1);
}

Codes codes(const QString &sensorType, const QList<int> &dpiValues)
{
    Codes result{};
    for (int i = 0; i < stageCount; ++i)
        result[std::size_t(i)] = code(sensorType, dpiValues.value(i, 0));
    return result;
}

Codes codesWithInactiveStages(int dpiCount, const QString &sensorType, const QList<int> &dpiValues)
{
    Codes result = codes(sensorType, dpiValues);
    for (int i = qMax(dpiCount, 0); i < stageCount; ++i)
        result[std::size_t(i)] = inactiveStage;
    return result;
}

uchar activeStageMask(int dpiCount)
{
    if (dpiCount <= 0)
        return 0;
    if (dpiCount >= stageCount)
        return 0xFF;
    return uchar((1 << dpiCount) - 1);
}

bool needsHighBits(const QString &sensorType)
{
    return sensorType == QLatin1String("3389");
}

uchar highBitMask(const QList<int> &dpiValues)
{
    uchar mask = 0;
    for (int i = 0; i < stageCount; ++i) {
        if (dpiValues.value(i, 0) > 12799)
            mask |= uchar(1 << i);
    }
    return mask;
}

} // namespace DpiCodes
