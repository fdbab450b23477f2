#pragma once

#include <QVariant>

class SettingsStore;

// The X/Y sensitivity steps ("XYSensitive/0" X, "XYSensitive/1" Y) and the
// per-profile gun selections ("selectGun/<n>") of the current profile.
class ProfileGunKeys
{
public:
    static constexpr int defaultSensitivity = 4;

    explicit ProfileGunKeys(SettingsStore &settings) : m_settings(settings) {}

    QVariant xySensitive(const QString &index) const;
    // False when the profile could not be written.
    bool setXYSensitive(const QString &index, const QVariant &step);
    // Empty text when missing.
    QVariant selectGun(const QString &index) const;
    bool setSelectGun(const QString &index, const QVariant &value);

private:
    SettingsStore &m_settings;
};
