#include "macrostore.h"

#include "filedialogs.h"
#include "filename.h"
#include "filereplace.h"
#include "namelistfile.h"
#include "settingkeys.h"
#include "settingsstore.h"
#include "storepaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString totalKey = QStringLiteral("config/total");
const QString repeatKey = QStringLiteral("config/repeat");
const QString eventGroup = QStringLiteral("macro");
constexpr int macroCategory = 4;
} // namespace

const QString MacroStore::fileFilter = QStringLiteral("Macro(*.mc)");

bool MacroStore::isValidName(const QString &name)
{
    return FileName::isPlain(name);
}

bool MacroStore::isValidNewName(const QString &name)
{
    return FileName::isPortable(name) && name.size() <= maxNameLength &&
           name != NameListFile::sentinel;
}

// A macro file is opened only when it is not oversized; one that is, is set
// aside and the macro counts as missing.
static bool isReadable(const QString &path, const FileReplace::SetAsideNotice &notice)
{
    FileReplace::setAsideIfDamaged(path, QString(), notice);
    return QFile::exists(path);
}

QString MacroStore::filePath(const QString &name) const
{
    return m_settings.filePath(StorePaths::macroFolder) + name + QStringLiteral(".bin");
}

bool MacroStore::create(const QString &name, uint macroIndex)
{
    if (!isValidNewName(name) || !FileReplace::hasRoomFor(filePath(name)))
        return false;
    FileReplace::setAsideIfDamaged(filePath(name), QString(), m_settings.setAsideNotice());
    QSettings file(filePath(name), QSettings::IniFormat);
    file.setValue(QStringLiteral("config/index"), macroIndex);
    file.setValue(totalKey, 0);
    file.setValue(repeatKey, 1);
    file.setValue(QStringLiteral("config/did"), -1);
    return FileReplace::syncSettings(file);
}

bool MacroStore::save(const QString &name, const QStringList &macros, const QVariant &repeat)
{
    if (!isValidName(name) || !isReadable(filePath(name), m_settings.setAsideNotice()) ||
        !FileReplace::hasRoomFor(filePath(name)))
        return false;
    QSettings file(filePath(name), QSettings::IniFormat);
    // Removing the group first leaves no stale events of a longer macro.
    file.remove(eventGroup);
    file.setValue(totalKey, macros.size());
    file.setValue(repeatKey, repeat);
    for (int i = 0; i < macros.size(); ++i)
        file.setValue(eventGroup + QLatin1Char('/') + QString::number(i), macros.at(i));
    return FileReplace::syncSettings(file);
}

QStringList MacroStore::load(const QString &name) const
{
    if (!isValidName(name) || !isReadable(filePath(name), m_settings.setAsideNotice()))
        return {};
    const QSettings file(filePath(name), QSettings::IniFormat);
    const int total = qBound(0, file.value(totalKey).toInt(), maxEvents);
    QStringList events;
    for (int i = 0; i < total; ++i) {
        const QString key = eventGroup + QLatin1Char('/') + QString::number(i);
        events.append(file.value(key, QStringLiteral("0")).toString());
    }
    events.append(file.value(repeatKey, QStringLiteral("0")).toString());
    return events;
}

bool MacroStore::remove(const QString &name)
{
    // A macro goes from the name list and the profiles' buttons too: without
    // room for those writes, the file stays rather than go alone.
    if (!isValidName(name) || !QFile::exists(filePath(name)) ||
        !FileReplace::hasRoomFor(m_settings.filePath(StorePaths::nameLists)))
        return false;
    return QFile::remove(filePath(name));
}

ImportResult MacroStore::importMacro(const QString &name, FileDialogs &dialogs)
{
    if (!isValidNewName(name))
        return ImportResult::Failed;
    const QString chosen = dialogs.openFileName(fileFilter);
    if (chosen.isEmpty())
        return ImportResult::Cancelled;
    const QString target = filePath(name);
    if (QFile::exists(target))
        return ImportResult::Imported;
    if (QFileInfo(chosen).size() > StorePaths::maxFileSize)
        return ImportResult::TooLarge;
    if (!FileReplace::holdsSettingsGroup(chosen, QStringLiteral("config")))
        return ImportResult::Failed;
    QDir().mkpath(m_settings.filePath(StorePaths::macroFolder));
    // QFile::copy writes a temporary file and renames it into place only if
    // the target is still free.
    if (!QFile::copy(chosen, target))
        return ImportResult::NotWritten;
    // The copy takes the source's permissions; a macro imported from a
    // read-only file must still take the editor's saves.
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ReadOwner |
                                      QFileDevice::WriteOwner);
    return ImportResult::Imported;
}

bool MacroStore::exportMacro(const QString &name, FileDialogs &dialogs)
{
    if (!isValidName(name) || !isReadable(filePath(name), m_settings.setAsideNotice()))
        return true;
    const QString chosen = dialogs.saveFileName(fileFilter);
    return chosen.isEmpty() || FileReplace::copyOver(filePath(name), chosen);
}

bool MacroStore::rename(const QString &oldName, const QString &newName)
{
    if (!isValidName(oldName) || !isValidNewName(newName) || !QFile::exists(filePath(oldName)))
        return false;
    // The file first: a rename that fails (the new name is taken) must not
    // leave buttons pointing at another macro.
    if (!QFile::rename(filePath(oldName), filePath(newName)))
        return false;
    for (int p = 0; p < linkedProfiles; ++p) {
        QSettings *profile = m_settings.profile(p);
        profile->beginGroup(SettingKeys::mouseMacroKey);
        const QStringList slotKeys = profile->childKeys();
        for (const QString &slot : slotKeys) {
            if (profile->value(slot).toString() == oldName)
                profile->setValue(slot, newName);
        }
        profile->endGroup();
    }
    return true;
}

void MacroStore::unassign(const QString &name)
{
    if (!isValidName(name))
        return;
    QSettings *defaults = m_settings.defaultProfile();
    for (int p = 0; p < linkedProfiles; ++p) {
        QSettings *profile = m_settings.profile(p);
        for (int k = 0; k < buttonCount; ++k) {
            const QString key = SettingKeys::mouseKeyMatrix + QString::number(k);
            const QVariantList record = SettingsStore::toList(profile->value(key));
            if (record.isEmpty() || record.at(0).toString().toInt() != macroCategory)
                continue;
            // A short record names slot 0.
            const int slot = record.value(2).toString().toInt();
            if (profile->value(SettingKeys::mouseMacroKey + QString::number(slot)).toString() !=
                name)
                continue;
            const QVariant factory = defaults->value(key);
            if (factory.isValid())
                profile->setValue(key, factory);
            else
                profile->remove(key);
        }
    }
}
