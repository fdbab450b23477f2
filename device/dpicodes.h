#pragma once

#include <QList>
#include <QString>
#include <array>

// The one-byte DPI codes of the mouse's sensors.
namespace DpiCodes {

constexpr int stageCount = 8;
// What family 553 takes for a stage beyond the active ones.
constexpr uchar inactiveStage = 0x80;

using Codes = std::array<uchar, stageCount>;

// The code of `dpi` for `sensorType` ("3360", "3050", "3389"; any other
// text is encoded as "4090"). Out-of-range values truncate to a byte.
uchar code(const QString &sensorType, int dpi);

// The codes of stages 1 to 8; stages the list lacks count as 0 DPI and
// values beyond the eighth are ignored.
Codes codes(const QString &sensorType, const QList<int> &dpiValues);

// Family 553: stages from `dpiCount` on carry the inactive code.
Codes codesWithInactiveStages(int dpiCount, const QString &sensorType, const QList<int> &dpiValues);

// Family 560: bits 0 to dpiCount - 1.
uchar activeStageMask(int dpiCount);

// Sensor "3389" counts in 50 DPI steps and needs a ninth bit above 12799:
// bit i is set when stage i + 1 exceeds that.
bool needsHighBits(const QString &sensorType);
uchar highBitMask(const QList<int> &dpiValues);

} // namespace DpiCodes
