#include "settingsstore.h"

#include "filereplace.h"
#include "storepaths.h"

#include <QHash>
#include <QSettings>

namespace {
QHash<QString, QVariant> &runOverrides()
{
    static QHash<QString, QVariant> overrides;
    return overrides;
}

QSettings *openIni(const QString &path, QObject *parent)
{
    return new QSettings(path, QSettings::IniFormat, parent);
}
} // namespace

SettingsStore::SettingsStore(QObject *parent) : QObject(parent)
{
    m_global = openIni(StorePaths::globalSettings, this);
    m_default = openIni(StorePaths::defaultProfile, this);
    for (int n = 0; n < StorePaths::profileCount; ++n)
        m_profiles.append(openIni(StorePaths::profile(n), this));

    m_flags.isColorful = globalData(QStringLiteral("mouse/isColorful")).toBool();
    m_flags.isGun = globalData(QStringLiteral("mouse/isGun")).toBool();
    m_flags.icType = globalData(QStringLiteral("mouse/icType")).toString();
    m_flags.is55328 = globalData(QStringLiteral("mouse/is55328")).toBool();
}

SettingsStore::~SettingsStore() = default;

QVariant SettingsStore::data(const QString &key, bool isRecovery) const
{
    return (isRecovery ? m_default : current())->value(key);
}

QVariant SettingsStore::globalData(const QString &key) const
{
    const auto it = runOverrides().constFind(key);
    return it != runOverrides().constEnd() ? *it : m_global->value(key);
}

void SettingsStore::setRunOverride(const QString &key, const QVariant &value)
{
    runOverrides().insert(key, value);
}

QVariantList SettingsStore::toList(const QVariant &value)
{
    // Lists written in this run are variant lists; lists read back from a
    // file are string lists. Anything else is a single value, not a list.
    const int type = value.typeId();
    if (type == QMetaType::QVariantList || type == QMetaType::QStringList)
        return value.toList();
    return {};
}

QVariantList SettingsStore::dataList(const QString &key, bool isRecovery) const
{
    return toList(data(key, isRecovery));
}

void SettingsStore::setData(const QString &key, const QVariant &value)
{
    current()->setValue(key, value);
}

void SettingsStore::setGlobalData(const QString &key, const QVariant &value)
{
    m_global->setValue(key, value);
}

void SettingsStore::setDataList(const QString &key, const QVariantList &list)
{
    current()->setValue(key, list);
}

bool SettingsStore::resetGlobalSettings()
{
    // Pending writes must reach the old file now; were they left to the
    // object's destruction they would land in the freshly reset file.
    m_global->sync();
    const QString fileName = m_global->fileName();
    if (!FileReplace::copyOver(StorePaths::factoryGlobalSettings, fileName))
        return false;

    QSettings *old = m_global;
    m_global = openIni(StorePaths::globalSettings, this);
    old->deleteLater();
    return true;
}

void SettingsStore::setCurrentProfile(int profile)
{
    if (profile >= 0 && profile < m_profiles.size())
        m_currentProfile = profile;
}

QSettings *SettingsStore::profile(int n) const
{
    return (n >= 0 && n < m_profiles.size()) ? m_profiles.at(n) : nullptr;
}

void SettingsStore::sync()
{
    m_global->sync();
    for (QSettings *settings : m_profiles)
        settings->sync();
}
