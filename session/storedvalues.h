#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

// Settings come back from the store as numbers or booleans within the run
// that wrote them and as texts after a restart, or not at all on a first
// start or from a damaged file. These read them as the screens show them:
// a value that is no number of the kind asked for is the fallback.
namespace StoredValues {
// A whole number: a number (cut towards zero) or a text of optional sign
// and digits.
int toInt(const QVariant &value, int fallback);
// The sign and digits `text` starts with after ASCII blanks, as an editor
// field reads; empty when it starts with none.
QString leadingInteger(const QString &text);
// Optional sign and ASCII digits, nothing else.
bool isInteger(const QString &text);
bool toBool(const QVariant &value, bool fallback);
// Empty texts are the fallback too.
QString toText(const QVariant &value, const QString &fallback);
// A number as a script reads a text: decimal, exponent or 0x, 0o and 0b
// forms; none for an empty or malformed text.
std::optional<double> toNumber(const QVariant &value);
// Element i of `list` by toInt, defaults[i] where it is missing or no
// number; as long as `defaults`.
QList<int> intList(const QVariant &list, const QList<int> &defaults);
} // namespace StoredValues
