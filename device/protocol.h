#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <initializer_list>

// The mouse protocol as pure functions over bytes: command reports, the
// checksum, scrambling and the framing of data reports. Nothing here touches
// a device.
namespace HidProtocol {

constexpr int commandReportSize = 9;
constexpr int bulkBufferSize = 512;
// Report lengths outside this range cannot come from a sane device table;
// the transport refuses data transfers for them.
constexpr int maxReportLength = 1024;

inline bool isUsableReportLength(int reportLength)
{
    return reportLength >= 1 && reportLength <= maxReportLength;
}

using CommandReport = std::array<uchar, commandReportSize>;
using Block8 = std::array<uchar, 8>;

// Bitwise NOT of the 8-bit sum of the seven bytes at `bytes`.
uchar checksum(const uchar *bytes);

// 00 code p0..p5 checksum; missing parameters are 0, extra ones ignored.
CommandReport commandReport(uchar code, std::initializer_list<uchar> params = {});

// The scrambling of report bytes 1 to 8 and its inverse. Bytes 0 and 7 of
// `code` take no part.
void scramble(uchar *block, const uchar *code);
void unscramble(uchar *block, const uchar *code);

// The 8-byte key of a secrecy code text: its six characters in bytes 1 to 6.
// Any other length gives no key (false).
bool secrecyKey(const QString &sCode, uchar *key);

// Output reports of reportLength + 1 bytes carrying `data`: byte 0 is the
// report ID 0, the chunk follows, the rest is 0.
QList<QByteArray> dataReports(const QByteArray &data, int reportLength);

// The DPI stages a mouse has; anything else it reports is noise.
constexpr int maxDpiStage = 8;
inline bool isDpiStage(int stage)
{
    return stage >= 1 && stage <= maxDpiStage;
}

// The dpiSwitchText slot for a DPI stage reported by the mouse: stage - 1
// for 1 to 7, slot 7 for anything else.
int dpiTextSlot(int stage);

} // namespace HidProtocol
