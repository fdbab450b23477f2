#pragma once

#include <QList>
#include <QVariantList>

// Numbers handed over by the scene arrive as variants: numbers, or texts
// when they come back from a settings file. Anything that is no number
// counts as 0.
inline QList<int> sceneInts(const QVariantList &values)
{
    QList<int> ints;
    ints.reserve(values.size());
    for (const QVariant &value : values)
        ints.append(int(value.toLongLong()));
    return ints;
}
