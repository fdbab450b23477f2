#include "filename.h"

namespace FileName {

bool isPlain(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool isPortable(const QString &name)
{
    static const QString forbidden = QStringLiteral(":*?\"<>|");
    if (!isPlain(name))
        return false;
    for (const QChar c : name) {
        if (forbidden.contains(c))
            return false;
    }
    return true;
}

} // namespace FileName
