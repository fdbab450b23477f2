#include "profilegunkeys.h"

#include "settingkeys.h"
#include "settingsstore.h"

namespace {
QString sensitivityKey(const QString &index)
{
    return SettingKeys::xySensitive + index;
}

QString selectGunKey(const QString &index)
{
    return SettingKeys::selectGun + index;
}

QVariant orDefault(const QVariant &value, const QVariant &fallback)
{
    return value.isValid() ? value : fallback;
}
} // namespace

QVariant ProfileGunKeys::xySensitive(const QString &index) const
{
    return orDefault(m_settings.data(sensitivityKey(index), false), defaultSensitivity);
}

bool ProfileGunKeys::setXYSensitive(const QString &index, const QVariant &step)
{
    return m_settings.setData(sensitivityKey(index), step);
}

QVariant ProfileGunKeys::selectGun(const QString &index) const
{
    return orDefault(m_settings.data(selectGunKey(index), false), QString());
}

bool ProfileGunKeys::setSelectGun(const QString &index, const QVariant &value)
{
    return m_settings.setData(selectGunKey(index), value);
}
