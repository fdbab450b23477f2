#include "filereplace.h"

#include <QFile>
#include <QSaveFile>

namespace FileReplace {

bool copyOver(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;

    QSaveFile out(target);
    // Writing in place would truncate the old file before the new content is
    // safe, so a folder that cannot take the temporary file fails instead.
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(content) != content.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace FileReplace
