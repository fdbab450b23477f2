#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "filereplace.h"

class QLocale;
class QSettings;

// Capabilities of the served mouse, read once from the global settings when
// the store opens; later changes of these keys take effect at the next start.
struct DeviceFlags
{
    bool isColorful = false;
    bool isGun = false;
    QString icType;
    bool is55328 = false;
};

// The long-lived settings files: the global settings (apConfig.bin), the
// default profile (pD.bin) and the ten profiles (p1.bin .. p10.bin). Keys are
// read and written through Qt's INI format; values written in this run come
// back with their type, values read from a file come back as text.
class SettingsStore : public QObject
{
    Q_OBJECT
public:
    // The files of the data folder `root`. `runValues` are global values
    // that hold for this store only and never reach the file; the device
    // flags take them too. `setAsideNotice` is told of each damaged file set
    // aside, here and by the readers of the other data files that are
    // handed it.
    explicit SettingsStore(const QString &root, QObject *parent = nullptr,
                           const QVariantHash &runValues = {},
                           FileReplace::SetAsideNotice setAsideNotice = {});
    ~SettingsStore() override;

    QVariant data(const QString &key, bool isRecovery) const;
    QVariant globalData(const QString &key) const;
    // Whether the global settings hold `key` (not a run value or default).
    bool hasGlobalData(const QString &key) const;
    // A missing key or a single (non-list) value gives an empty list.
    QVariantList dataList(const QString &key, bool isRecovery) const;
    // Writes go to the file at once. False when the file could not be
    // written (read-only folder, full disk): the change stays pending and
    // is written with the next write to that file or when the store closes.
    bool setData(const QString &key, const QVariant &value);
    bool setGlobalData(const QString &key, const QVariant &value);
    bool removeGlobalData(const QString &key);
    bool setDataList(const QString &key, const QVariantList &list);
    // Several keys of the current profile in one write of its file: each
    // write replaces the file and waits for the disk.
    bool setDataValues(const QVariantMap &values);

    // Puts the factory copy apConfigD.bin in place of apConfig.bin. Returns
    // false, leaving the global settings untouched, when the factory copy is
    // missing or the file cannot be replaced.
    bool resetGlobalSettings();

    // Puts a copy of `source` in place of profile n's file and reopens the
    // profile at once, at the same position in the profile list. Returns
    // false, leaving the profile as it was, when n is not 0..9 or the copy
    // fails.
    bool replaceProfile(int n, const QString &source);

    const DeviceFlags &deviceFlags() const { return m_flags; }

    // The data folder, and a path in it.
    const QString &root() const { return m_root; }
    QString filePath(const QString &relative) const;

    int currentProfile() const { return m_currentProfile; }
    // Out-of-range numbers are ignored.
    void setCurrentProfile(int profile);

    QSettings *globalSettings() const { return m_global; }
    QSettings *defaultProfile() const { return m_default; }
    QSettings *profile(int n) const;
    QSettings *current() const { return m_profiles.at(m_currentProfile); }

    // The current profile's values, and putting them back whole: a change
    // the mouse did not take is not kept as if it had been. False when the
    // file could not be written.
    QVariantMap currentValues() const;
    bool restoreCurrentValues(const QVariantMap &values);

    // Writes pending changes of every open file to disk; false when one of
    // them could not be written.
    bool sync();
    // Writes the pending changes of `settings` (and of every other object
    // on the same file) now. QSettings::status() keeps its first error for
    // good, so each attempt is judged by a fresh object on the file.
    static bool writeThrough(const QSettings *settings);

    // Data files found oversized or unreadable when the store opened, each
    // moved aside as <name>.damaged and replaced by its factory copy.
    const QStringList &damagedFiles() const { return m_damaged; }
    const FileReplace::SetAsideNotice &setAsideNotice() const { return m_setAsideNotice; }

    static QVariantList toList(const QVariant &value);

    // The language file of a user who has not chosen one (common/language
    // missing), by the system locale's language and script; English for a
    // language without a file.
    static QString defaultLanguage(const QLocale &locale);

protected:
    // Qt writes an object's pending changes on its own a moment after they
    // are made; without room for the file that write would damage it.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSettings *replaceFile(QSettings *settings, const QString &source);
    QSettings *openChecked(const QString &path, const QString &factory);

    QString m_root;
    QSettings *m_global = nullptr;
    QSettings *m_default = nullptr;
    QList<QSettings *> m_profiles;
    int m_currentProfile = 0;
    DeviceFlags m_flags;
    QVariantHash m_runValues;
    QStringList m_damaged;
    FileReplace::SetAsideNotice m_setAsideNotice;
};
