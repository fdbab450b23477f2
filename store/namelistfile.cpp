#include "namelistfile.h"

#include "filereplace.h"
#include "settingsstore.h"
#include "storepaths.h"

#include <QSettings>

const QString NameListFile::sentinel = QStringLiteral("loaderbraxel");

NameListFile::NameListFile(const QString &root, FileReplace::SetAsideNotice setAsideNotice)
    : m_path(StorePaths::in(root, StorePaths::nameLists)),
      m_setAsideNotice(std::move(setAsideNotice))
{}

namespace {
// The list under `key` as stored, a plain value as a list of one.
QStringList storedNames(const QSettings &file, const QString &key)
{
    QStringList names;
    for (const QVariant &name : SettingsStore::toList(file.value(key)))
        names.append(name.toString());
    return names;
}
} // namespace

QString NameListFile::keyFor(const QVariant &type)
{
    bool isNumber = false;
    const uint number = type.toUInt(&isNumber);
    if (!isNumber)
        return {};
    switch (number) {
    case 0:
        return QStringLiteral("macro/macroName");
    case 1:
        return QStringLiteral("gun/gunName");
    case 2:
        return QStringLiteral("profile/profileName");
    case 3:
        return QStringLiteral("gun/selectGun");
    default:
        return {};
    }
}

bool NameListFile::update(const QVariant &type, QStringList names)
{
    const QString key = keyFor(type);
    if (key.isEmpty())
        return true;
    if (names.size() == 1)
        names.append(sentinel);
    FileReplace::setAsideIfDamaged(m_path, QString(), m_setAsideNotice);
    QSettings file(m_path, QSettings::IniFormat);
    // The scene stores its lists each time it starts: a list that is already
    // there as it stands is not written again.
    const QStringList stored = storedNames(file, key);
    if (file.contains(key) ? stored == names : names.isEmpty())
        return true;
    if (!FileReplace::hasRoomFor(m_path))
        return false;
    const auto put = [&file, &key](const QStringList &list) {
        list.isEmpty() ? file.remove(key) : file.setValue(key, list);
    };
    put(names);
    if (FileReplace::syncSettings(file))
        return true;
    // A list not taken is no change: left pending in Qt's cache of the file,
    // it would be written with the next list and undo what the scene shows.
    put(stored);
    return false;
}

QVariantList NameListFile::read(const QVariant &type) const
{
    const QString key = keyFor(type);
    if (key.isEmpty())
        return {};
    FileReplace::setAsideIfDamaged(m_path, QString(), m_setAsideNotice);
    const QSettings file(m_path, QSettings::IniFormat);
    const QStringList names = storedNames(file, key);
    return QVariantList(names.cbegin(), names.cend());
}
