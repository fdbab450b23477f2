#include "gundatafile.h"

#include "filereplace.h"
#include "settingsstore.h"
#include "storepaths.h"

#include <QFile>
#include <QSettings>

namespace {
const QString group = QStringLiteral("gunData");
}

GunDataFile::GunDataFile(const QString &root, FileReplace::SetAsideNotice setAsideNotice)
    : m_path(StorePaths::in(root, StorePaths::gunData)), m_setAsideNotice(std::move(setAsideNotice))
{}

// Every operation first makes sure that an oversized file is never read.
bool GunDataFile::isPresent() const
{
    FileReplace::setAsideIfDamaged(m_path, QString(), m_setAsideNotice);
    return QFile::exists(m_path);
}

QString GunDataFile::keyFor(const QString &name)
{
    return group + QLatin1Char('/') + name;
}

bool GunDataFile::isUsableName(QString name)
{
    // A name of nothing but separators would address the whole group.
    return !name.remove(QLatin1Char('/')).remove(QLatin1Char('\\')).isEmpty();
}

bool GunDataFile::saveRecord(const QString &index, const QVariantList &src6)
{
    if (!isUsableName(index) || src6.size() < recordSize || !isPresent())
        return true;
    if (!FileReplace::hasRoomFor(m_path))
        return false;
    QSettings file(m_path, QSettings::IniFormat);
    file.setValue(keyFor(index), src6.mid(0, recordSize));
    return FileReplace::syncSettings(file);
}

void GunDataFile::modify(int modifyType, const QVariantList &src6)
{
    if (!isPresent() || !FileReplace::hasRoomFor(m_path))
        return;
    const QString name = src6.value(0).toString();
    if (!isUsableName(name))
        return;
    if (modifyType == 0) {
        QSettings file(m_path, QSettings::IniFormat);
        file.remove(keyFor(name));
    } else if (modifyType == 1) {
        const QString oldName = src6.value(recordSize).toString();
        if (!isUsableName(oldName))
            return;
        QSettings file(m_path, QSettings::IniFormat);
        file.remove(keyFor(oldName));
        file.setValue(keyFor(name), src6.mid(1, recordSize - 1));
    }
}

QVariantList GunDataFile::record(const QString &name) const
{
    if (!isUsableName(name) || !isPresent())
        return {};
    const QSettings file(m_path, QSettings::IniFormat);
    return SettingsStore::toList(file.value(keyFor(name)));
}

QStringList GunDataFile::keys() const
{
    if (!isPresent())
        return {};
    QSettings file(m_path, QSettings::IniFormat);
    file.beginGroup(group);
    return file.childKeys();
}
