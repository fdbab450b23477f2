#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Macros as the store keeps them and as the mouse plays them.
//
// An event is a type and its text: 0 a delay (whole milliseconds), 1 a key
// press, 2 a key release, 3 a mouse-button press, 4 its release (the key's
// name). The device form is a list of bytes in pairs: the repeat count, then
// one [wait, key] pair per action, where the wait is the sum of the delays
// up to the next action in 10 ms units and bit 7 marks a release, and a
// closing [0, 0].
namespace MacroCode {
struct Event
{
    int type = 0;
    QString info;
};

struct Macro
{
    QList<Event> events;
    int repeat = 1;
};

// The loaded form: event texts ("<type>,<info>"), then the repeat count.
// Texts whose first character is not a known type are skipped.
Macro parseLoaded(const QStringList &list);

// The device form of `macro`. `codeOf(name)` gives a key's code, 0 for a
// name the key table does not hold.
QList<int> encode(const QList<Event> &events, int repeat,
                  const std::function<int(const QString &)> &codeOf);
} // namespace MacroCode
