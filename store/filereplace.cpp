#include "filereplace.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStorageInfo>
#include <algorithm>
#include <limits>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#include "filedialogs.h"
#include "storepaths.h"

namespace FileReplace {

bool copyOver(const QString &source, const QString &target)
{
    // A device or a pipe (an import or export path typed by hand) reports
    // no size: read, it never ends; replaced, it would be gone.
    const QFileInfo old(target);
    QFile in(source);
    if (!isReadableData(source) || (old.exists() && !old.isFile()) || !in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;

    const QDateTime oldTime = old.exists() ? old.lastModified() : QDateTime();

    QSaveFile out(target);
    // Writing in place would truncate the old file before the new content is
    // safe, so a folder that cannot take the temporary file fails instead.
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(content) != content.size() || !out.flush()) {
        out.cancelWriting();
        return false;
    }
    // QSettings takes a file of unchanged size and modification time for
    // unchanged and keeps serving what it read before, so a replacement
    // within the same time step must still look newer: by two seconds, the
    // coarsest step of common file systems (FAT).
    if (oldTime.isValid() && out.fileTime(QFileDevice::FileModificationTime) <= oldTime)
        out.setFileTime(oldTime.addSecs(2), QFileDevice::FileModificationTime);
    return out.commit();
}

bool isReadableData(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable() && info.size() <= StorePaths::maxFileSize;
}

bool hasRoomFor(const QString &path)
{
    constexpr qint64 margin = 64 * 1024;
    const QFileInfo info(path);
    qint64 room = std::numeric_limits<qint64>::max();
    const QStorageInfo storage(info.absolutePath());
    if (storage.isValid() && storage.isReady())
        room = storage.bytesAvailable();
#ifdef Q_OS_UNIX
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        room = std::min(room, qint64(limit.rlim_cur));
#endif
    return room >= info.size() + margin;
}

bool holdsSettingsGroup(const QString &path, const QString &group)
{
    if (!isReadableData(path))
        return false;
    const QSettings settings(path, QSettings::IniFormat);
    return settings.status() == QSettings::NoError && settings.childGroups().contains(group);
}

bool syncSettings(QSettings &file)
{
    file.sync();
    if (file.status() != QSettings::FormatError)
        return file.status() == QSettings::NoError;
    const QSettings reread(file.fileName(), file.format());
    return reread.status() == QSettings::NoError;
}

bool setAsideIfDamaged(const QString &path, const QString &factory, const SetAsideNotice &notice)
{
    // A folder in the file's place is left alone: nothing reads it, and
    // writes to it fail and are reported. A pipe, socket or device there is
    // set aside: opening it to read could wait for ever, or never end.
    const QFileInfo info(path);
    if (!info.exists() || info.isDir() || isReadableData(path))
        return false;
    return setAside(path, factory, notice);
}

bool setAside(const QString &path, const QString &factory, const SetAsideNotice &notice)
{
    const QString aside = path + QStringLiteral(".damaged");
    if (QFileInfo(aside).isDir())
        return false;
    QFile::remove(aside);
    if (!QFile::rename(path, aside))
        return false;
    if (!factory.isEmpty() && isReadableData(factory))
        copyOver(factory, path);
    if (notice)
        notice(path);
    return true;
}

} // namespace FileReplace

QString FileDialogs::withFilterSuffix(const QString &chosen, const QString &filter)
{
    const QString suffix = filter.section(QLatin1String("(*"), 1).section(QLatin1Char(')'), 0, 0);
    if (chosen.isEmpty() || !QFileInfo(chosen).suffix().isEmpty())
        return chosen;
    return chosen + suffix;
}
