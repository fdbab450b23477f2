#include "macrocode.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace MacroCode {

namespace {
bool isAction(const Event &event)
{
    return event.type >= 1 && event.type <= 4;
}

bool isRelease(const Event &event)
{
    return event.type == 2 || event.type == 4;
}

// The whole number a text starts with, as a script's parseInt reads it
// (leading blanks, a sign, digits; a number too long to hold is the largest
// of its sign); none without digits.
std::optional<qlonglong> leadingNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    const bool signed_ = trimmed.startsWith(u'-') || trimmed.startsWith(u'+');
    qsizetype end = signed_ ? 1 : 0;
    while (end < trimmed.size() && trimmed.at(end).isDigit())
        ++end;
    if (end == (signed_ ? 1 : 0))
        return std::nullopt;
    bool ok = false;
    const qlonglong number = trimmed.left(end).toLongLong(&ok);
    if (ok)
        return number;
    return trimmed.startsWith(u'-') ? LLONG_MIN : LLONG_MAX;
}

int delayOf(const Event &event)
{
    const std::optional<qlonglong> ms = leadingNumber(event.info);
    return !ms || *ms < 0 ? 0 : int(std::min<qlonglong>(*ms, INT_MAX));
}

// The wait byte of one action (without the release bit) and the extra
// bytes of a long wait.
struct Wait
{
    int wait = 1;
    QList<int> extra;
};

Wait waitOf(qint64 units)
{
    if (units == 0)
        return {1, {}};
    if (units < 127)
        return {int(units), {}};
    int unit = 0;
    qint64 value = units;
    if (units < 100000) {
        unit = 1;
        value = units / 2;
    } else if (units < 300000) {
        unit = 2;
        value = units / 5;
    } else if (units < 600000) {
        unit = 3;
        value = units / 10;
    }
    value = std::min<qint64>(value, 0xFFFF);
    Wait wait{0, {}};
    if (unit > 0)
        wait.extra << 0x00 << unit;
    wait.extra << int((value >> 8) & 0xFF) << int(value & 0xFF);
    return wait;
}
} // namespace

Macro parseLoaded(const QStringList &list)
{
    Macro macro;
    if (list.isEmpty())
        return macro;
    const std::optional<qlonglong> repeat = leadingNumber(list.last());
    macro.repeat = repeat ? int(std::clamp<qlonglong>(*repeat, 0, 0xFFFF)) : 1;
    for (qsizetype i = 0; i + 1 < list.size(); ++i) {
        const QString &text = list.at(i);
        const int type = text.isEmpty() ? -1 : int(QStringLiteral("01234").indexOf(text.at(0)));
        if (type < 0)
            continue;
        macro.events.append({type, text.mid(2)});
    }
    return macro;
}

QList<int> encode(const QList<Event> &events, int repeat,
                  const std::function<int(const QString &)> &codeOf)
{
    const int count = std::clamp(repeat, 0, 0xFFFF);
    QList<int> bytes{(count >> 8) & 0xFF, count & 0xFF};
    qsizetype first = 0;
    while (first < events.size() && !isAction(events.at(first)))
        ++first;
    if (first >= events.size() - 1)
        return bytes;
    qsizetype lastAction = -1;
    for (qsizetype i = events.size() - 1; i >= first; --i) {
        if (isAction(events.at(i))) {
            lastAction = i;
            break;
        }
    }
    qint64 pendingMs = 0;
    const Event *pending = nullptr;
    const auto flush = [&](bool isLast) {
        const int release = isRelease(*pending) ? 0x80 : 0;
        const int key = codeOf(pending->info) & 0xFF;
        if (isLast) {
            bytes << (release | 1) << key;
            return;
        }
        // Rounded to the nearest 10 ms, halves up.
        const Wait wait = waitOf(qint64(std::floor(double(pendingMs) / 10 + 0.5)));
        bytes << (release | wait.wait) << key;
        bytes << wait.extra;
    };
    for (qsizetype e = first; e <= lastAction; ++e) {
        const Event &event = events.at(e);
        if (!isAction(event)) {
            pendingMs += delayOf(event);
            continue;
        }
        if (pending)
            flush(false);
        pending = &event;
        pendingMs = 0;
    }
    flush(true);
    bytes << 0x00 << 0x00;
    return bytes;
}

} // namespace MacroCode
