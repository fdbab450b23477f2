#include "settingsstore.h"

#include "filereplace.h"
#include "settingkeys.h"
#include "storepaths.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSettings>

namespace {
QSettings *openIni(const QString &path, SettingsStore *store)
{
    auto *settings = new QSettings(path, QSettings::IniFormat, store);
    settings->installEventFilter(store);
    return settings;
}
} // namespace

SettingsStore::SettingsStore(const QString &root, QObject *parent, const QVariantHash &runValues,
                             FileReplace::SetAsideNotice setAsideNotice)
    : QObject(parent), m_root(root), m_runValues(runValues),
      m_setAsideNotice(std::move(setAsideNotice))
{
    m_global = openChecked(filePath(StorePaths::globalSettings),
                           filePath(StorePaths::factoryGlobalSettings));
    m_default = openChecked(filePath(StorePaths::defaultProfile), QString());
    for (int n = 0; n < StorePaths::profileCount; ++n)
        m_profiles.append(
            openChecked(filePath(StorePaths::profile(n)), filePath(StorePaths::defaultProfile)));

    m_flags.isColorful = globalData(SettingKeys::mouseIsColorful).toBool();
    m_flags.isGun = globalData(SettingKeys::mouseIsGun).toBool();
    m_flags.icType = globalData(SettingKeys::mouseIcType).toString();
    m_flags.is55328 = globalData(SettingKeys::mouseIs55328).toBool();
}

QString SettingsStore::filePath(const QString &relative) const
{
    return StorePaths::in(m_root, relative);
}

SettingsStore::~SettingsStore()
{
    // A file left with changes pending is written as its object goes, room
    // or not: without room the object is kept for the rest of the process,
    // and the change with it, rather than the file damaged.
    static auto *const keptWithoutRoom = new QList<QSettings *>; // never freed: kept for good
    for (QSettings *settings : findChildren<QSettings *>(Qt::FindDirectChildrenOnly)) {
        if (!FileReplace::hasRoomFor(settings->fileName())) {
            settings->setParent(nullptr);
            keptWithoutRoom->append(settings);
        }
    }
}

bool SettingsStore::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::UpdateRequest)
        return false;
    const auto *settings = qobject_cast<QSettings *>(watched);
    return settings && !FileReplace::hasRoomFor(settings->fileName());
}

QSettings *SettingsStore::openChecked(const QString &path, const QString &factory)
{
    if (FileReplace::setAsideIfDamaged(path, factory, m_setAsideNotice))
        m_damaged.append(path);
    QSettings *settings = openIni(path, this);
    // Every settings file of the program holds the mouse's group: one that
    // lacks it is garbage or was cut short. Read once, here, as it is opened.
    if (settings->childGroups().contains(QStringLiteral("mouse")) || !QFileInfo(path).isFile())
        return settings;
    delete settings;
    if (FileReplace::setAside(path, factory, m_setAsideNotice))
        m_damaged.append(path);
    return openIni(path, this);
}

bool SettingsStore::writeThrough(const QSettings *settings)
{
    // Opening the file writes what is pending: the room is checked first.
    if (!FileReplace::hasRoomFor(settings->fileName()))
        return false;
    QSettings probe(settings->fileName(), settings->format());
    return FileReplace::syncSettings(probe);
}

QVariant SettingsStore::data(const QString &key, bool isRecovery) const
{
    return (isRecovery ? m_default : current())->value(key);
}

QVariant SettingsStore::globalData(const QString &key) const
{
    const auto it = m_runValues.constFind(key);
    if (it != m_runValues.constEnd())
        return *it;
    if (key == SettingKeys::commonLanguage && !m_global->contains(key))
        return defaultLanguage(QLocale());
    return m_global->value(key);
}

bool SettingsStore::hasGlobalData(const QString &key) const
{
    return m_global->contains(key);
}

QString SettingsStore::defaultLanguage(const QLocale &locale)
{
    // Chinese by script (QLocale gives Taiwan, Hong Kong and Macau the
    // traditional one). Portuguese reads the Brazilian file while it is the
    // only one.
    if (locale.language() == QLocale::Chinese)
        return locale.script() == QLocale::TraditionalChineseScript
                   ? QStringLiteral("ChineseTraditional")
                   : QStringLiteral("ChineseSimplified");
    static const QHash<QLocale::Language, QString> files = {
        {QLocale::Japanese, QStringLiteral("Japanese")},
        {QLocale::Korean, QStringLiteral("Korean")},
        {QLocale::German, QStringLiteral("German")},
        {QLocale::French, QStringLiteral("French")},
        {QLocale::Spanish, QStringLiteral("Spanish")},
        {QLocale::Italian, QStringLiteral("Italian")},
        {QLocale::Portuguese, QStringLiteral("BrazilianPortuguese")},
        {QLocale::Russian, QStringLiteral("Russian")},
        {QLocale::Ukrainian, QStringLiteral("Ukrainian")},
        {QLocale::Polish, QStringLiteral("Polish")},
        {QLocale::Turkish, QStringLiteral("Turkish")},
    };
    return files.value(locale.language(), QStringLiteral("English"));
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

bool SettingsStore::setData(const QString &key, const QVariant &value)
{
    return setDataValues({{key, value}});
}

bool SettingsStore::setGlobalData(const QString &key, const QVariant &value)
{
    m_global->setValue(key, value);
    return writeThrough(m_global);
}

bool SettingsStore::removeGlobalData(const QString &key)
{
    m_global->remove(key);
    return writeThrough(m_global);
}

bool SettingsStore::setDataList(const QString &key, const QVariantList &list)
{
    return setDataValues({{key, list}});
}

bool SettingsStore::setDataValues(const QVariantMap &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        current()->setValue(it.key(), it.value());
    return writeThrough(current());
}

QSettings *SettingsStore::replaceFile(QSettings *settings, const QString &source)
{
    // Objects on the same file share their pending writes, so they must reach
    // the old file now; left for later they would land in the replaced file.
    // A file that cannot take them (read-only, no room) is therefore not
    // replaced.
    const QString fileName = settings->fileName();
    QFile file(fileName);
    if ((file.exists() && !file.open(QIODevice::ReadWrite)) || !FileReplace::hasRoomFor(fileName))
        return nullptr;
    file.close();
    settings->sync();
    if (!FileReplace::copyOver(source, fileName))
        return nullptr;
    // The old object goes on the next return to the event loop, with nothing
    // left to write.
    settings->deleteLater();
    return openIni(fileName, this);
}

bool SettingsStore::resetGlobalSettings()
{
    QSettings *fresh = replaceFile(m_global, filePath(StorePaths::factoryGlobalSettings));
    if (!fresh)
        return false;
    m_global = fresh;
    return true;
}

bool SettingsStore::replaceProfile(int n, const QString &source)
{
    QSettings *old = profile(n);
    if (!old)
        return false;
    QSettings *fresh = replaceFile(old, source);
    if (!fresh)
        return false;
    m_profiles[n] = fresh;
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

QVariantMap SettingsStore::currentValues() const
{
    QVariantMap values;
    const QSettings *settings = current();
    for (const QString &key : settings->allKeys())
        values.insert(key, settings->value(key));
    return values;
}

bool SettingsStore::restoreCurrentValues(const QVariantMap &values)
{
    QSettings *settings = current();
    for (const QString &key : settings->allKeys()) {
        if (!values.contains(key))
            settings->remove(key);
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (settings->value(it.key()) != it.value())
            settings->setValue(it.key(), it.value());
    }
    return writeThrough(settings);
}

bool SettingsStore::sync()
{
    bool written = writeThrough(m_global);
    for (QSettings *settings : m_profiles)
        written = writeThrough(settings) && written;
    return written;
}
