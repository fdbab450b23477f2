#include "namelistfile.h"

#include "settingsstore.h"
#include "storepaths.h"

#include <QSettings>

const QString NameListFile::sentinel = QStringLiteral("loaderbraxel");

QString NameListFile::keyFor(uint type)
{
    switch (type) {
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

void NameListFile::update(uint type, QStringList names)
{
    const QString key = keyFor(type);
    if (key.isEmpty())
        return;
    if (names.size() == 1)
        names.append(sentinel);
    QSettings file(StorePaths::nameLists, QSettings::IniFormat);
    if (names.isEmpty())
        file.remove(key);
    else
        file.setValue(key, names);
}

QVariantList NameListFile::read(uint type) const
{
    const QString key = keyFor(type);
    if (key.isEmpty())
        return {};
    const QSettings file(StorePaths::nameLists, QSettings::IniFormat);
    QVariantList names;
    for (const QVariant &name : SettingsStore::toList(file.value(key)))
        names.append(name.toString());
    return names;
}
