#include "protocol.h"

#include <algorithm>

namespace HidProtocol {
namespace {
// The key table shared by every device.
constexpr uchar scrambleKey[8] = {'T', 'a', 'V', 'k', 'o', 'L', 'u', 'm'};

uchar swapNibbles(uchar x)
{
    return uchar((x << 4) | (x >> 4));
}

void swapPairs(uchar *b)
{
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
}
} // namespace

uchar checksum(const uchar *bytes)
{
    uchar sum = 0;
    for (int i = 0; i < 7; ++i)
        sum = uchar(sum + bytes[i]);
    return uchar(~sum);
}

CommandReport commandReport(uchar code, std::initializer_list<uchar> params)
{
    CommandReport report{};
    report[1] = code;
    int i = 2;
    for (uchar p : params) {
        if (i > 7)
            break;
        report[i++] = p;
    }
    report[8] = checksum(report.data() + 1);
    return report;
}

void scramble(uchar *b, const uchar *code)
{
    swapPairs(b);
    for (int i = 1; i <= 6; ++i)
        b[i] ^= code[i];
    const uchar first = b[0];
    for (int i = 0; i < 7; ++i)
        b[i] = uchar((b[i] << 3) | (b[i + 1] >> 5));
    b[7] = uchar((b[7] << 3) | (first >> 5));
    for (int i = 0; i < 8; ++i)
        b[i] = uchar(b[i] + swapNibbles(scrambleKey[i]));
}

void unscramble(uchar *b, const uchar *code)
{
    for (int i = 0; i < 8; ++i)
        b[i] = uchar(b[i] - swapNibbles(scrambleKey[i]));
    const uchar last = b[7];
    for (int i = 7; i > 0; --i)
        b[i] = uchar((b[i] >> 3) | (b[i - 1] << 5));
    b[0] = uchar((b[0] >> 3) | (last << 5));
    for (int i = 1; i <= 6; ++i)
        b[i] ^= code[i];
    swapPairs(b);
}

bool secrecyKey(const QString &sCode, uchar *key)
{
    if (sCode.size() != 6)
        return false;
    for (int i = 0; i < 6; ++i)
        key[i + 1] = uchar(sCode.at(i).unicode());
    return true;
}

QList<QByteArray> dataReports(const QByteArray &data, int reportLength)
{
    QList<QByteArray> reports;
    if (!isUsableReportLength(reportLength))
        return reports;
    const int n = std::min<int>(data.size(), reportLength);
    for (int offset = 0; offset < data.size(); offset += n) {
        QByteArray report(reportLength + 1, '\0');
        const int take = std::min<int>(n, data.size() - offset);
        std::copy_n(data.constData() + offset, take, report.data() + 1);
        reports.append(report);
    }
    return reports;
}

int dpiTextSlot(int stage)
{
    return stage >= 1 && stage <= 7 ? stage - 1 : 7;
}

} // namespace HidProtocol
