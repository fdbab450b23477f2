#include "testdatafolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

TestDataFolder::TestDataFolder() : m_previous(QDir::currentPath())
{
    if (!m_dir.isValid())
        return;
    copyTree(factoryModules(), m_dir.filePath(QStringLiteral("modules")));
    QDir::setCurrent(m_dir.path());
}

TestDataFolder::~TestDataFolder()
{
    QDir::setCurrent(m_previous);
    // Read-only folders made by tests must not stop the clean-up.
    QDirIterator it(m_dir.path(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile::setPermissions(it.next(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner);
}

void TestDataFolder::copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        if (source.endsWith(QStringLiteral("CMakeLists.txt")))
            continue;
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).path());
        QFile::remove(target);
        QFile::copy(source, target);
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

QByteArray TestDataFolder::read(const QString &relative) const
{
    QFile file(filePath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestDataFolder::write(const QString &relative, const QByteArray &content) const
{
    const QString target = filePath(relative);
    QDir().mkpath(QFileInfo(target).path());
    QFile file(target);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

QMap<QString, QByteArray> TestDataFolder::snapshot() const
{
    QMap<QString, QByteArray> files;
    QDirIterator it(path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = QDir(path()).relativeFilePath(it.next());
        files.insert(relative, read(relative));
    }
    return files;
}
