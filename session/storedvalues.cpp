#include "storedvalues.h"

#include "settingsstore.h"

#include <cmath>

namespace StoredValues {

namespace {
bool isNumberType(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}
} // namespace

int toInt(const QVariant &value, int fallback)
{
    if (!value.isValid() || value.isNull())
        return fallback;
    if (isNumberType(value)) {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            return fallback;
        return int(std::clamp(std::trunc(number), double(INT_MIN), double(INT_MAX)));
    }
    const QString text = value.toString().trimmed();
    if (!isInteger(text))
        return fallback;
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    // Digits past what a number holds read as the nearest one it holds.
    if (!ok)
        return text.startsWith(QLatin1Char('-')) ? INT_MIN : INT_MAX;
    return int(std::clamp<qlonglong>(number, INT_MIN, INT_MAX));
}

// By hand rather than with a regular expression: this runs at every start,
// and the expression engine's library would be loaded for it alone.
QString leadingInteger(const QString &text)
{
    qsizetype i = 0;
    const auto isBlank = [](QChar c) {
        return c == QLatin1Char(' ') || (c >= QLatin1Char('\t') && c <= QLatin1Char('\r'));
    };
    const auto isDigit = [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    };
    while (i < text.size() && isBlank(text.at(i)))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    const qsizetype digits = i;
    while (i < text.size() && isDigit(text.at(i)))
        ++i;
    return i > digits ? text.mid(start, i - start) : QString();
}

bool isInteger(const QString &text)
{
    return !text.isEmpty() && text.size() == leadingInteger(text).size();
}

bool toBool(const QVariant &value, bool fallback)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (isNumberType(value))
        return value.toDouble() != 0;
    if (!value.isValid() || value.isNull())
        return fallback;
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return fallback;
}

QString toText(const QVariant &value, const QString &fallback)
{
    if (!value.isValid() || value.isNull())
        return fallback;
    const QString text = value.toString();
    return text.isEmpty() ? fallback : text;
}

std::optional<double> toNumber(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    if (isNumberType(value))
        return value.toDouble();
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    for (const auto &[prefix, base] :
         {std::pair{"0x", 16}, std::pair{"0o", 8}, std::pair{"0b", 2}}) {
        if (text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) {
            const qulonglong number = text.mid(2).toULongLong(&ok, base);
            return ok ? std::optional<double>(double(number)) : std::nullopt;
        }
    }
    // Qt also takes "inf" and "nan", which are no finite numbers either way.
    const double number = text.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

QList<int> intList(const QVariant &list, const QList<int> &defaults)
{
    const QVariantList values = SettingsStore::toList(list);
    QList<int> result;
    result.reserve(defaults.size());
    for (int i = 0; i < defaults.size(); ++i)
        result.append(toInt(values.value(i), defaults.at(i)));
    return result;
}

} // namespace StoredValues
