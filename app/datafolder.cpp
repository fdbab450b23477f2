#include "datafolder.h"

#include "storelog.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace DataFolder {

QString userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/skarn-config");
}

QString factoryFolder(const QString &executableDir)
{
    return QDir::cleanPath(executableDir + QStringLiteral("/" SKARN_FACTORY_RELATIVE));
}

void seed(const QString &factoryDir, const QString &userDir)
{
    const QString modules = factoryDir + QStringLiteral("/modules");
    QDirIterator it(modules, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = QDir(factoryDir).relativeFilePath(source);
        const QString target = userDir + QLatin1Char('/') + relative;
        if (QFileInfo::exists(target))
            continue;
        QDir().mkpath(QFileInfo(target).path());
        if (QFile::copy(source, target)) {
            // Installed files are read-only; the user's copies must not be.
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
        }
    }
}

QString choose(const QString &executableDir)
{
    if (QFileInfo(executableDir + QStringLiteral("/modules/setting")).isDir())
        return executableDir;
    const QString user = userFolder();
    seed(factoryFolder(executableDir), user);
    return user;
}

namespace {
bool temporaryFolder = false;
} // namespace

QString enter(const QString &executableDir)
{
    const QString folder = choose(executableDir);
    // Without factory files to seed it from (a program copied on its own),
    // the user's folder starts empty and the store's defaults apply.
    QDir().mkpath(folder + QStringLiteral("/modules/setting"));
    if (QFileInfo(folder + QStringLiteral("/modules/setting")).isDir())
        return folder;
    qCWarning(lcStore) << "Cannot use the data folder" << folder;
    // Left where it was started, the program would read and write a
    // modules/ folder of wherever that is. A temporary folder instead, with
    // a copy of the factory files where there are any, gone when it quits;
    // the user is told.
    static QTemporaryDir copy(QDir::tempPath() + QStringLiteral("/skarn-config-XXXXXX"));
    if (copy.isValid()) {
        seed(factoryFolder(executableDir), copy.path());
        if (QDir(copy.path()).mkpath(QStringLiteral("modules/setting"))) {
            temporaryFolder = true;
            qCWarning(lcStore) << "Working on a temporary copy in" << copy.path();
            return copy.path();
        }
    }
    return {};
}

bool isTemporary()
{
    return temporaryFolder;
}

} // namespace DataFolder
