#pragma once

#include <QString>

// Every key of the global settings (apConfig.bin) and of the profiles
// (p1.bin .. p10.bin, factory values in pD.bin) that the program reads or
// writes itself, named once: the group followed by the key's own name. A
// value ending in "/" is a group of numbered keys (<group>/<n>).
namespace SettingKeys {
// Global settings.
inline const QString commonDeviceCount = QStringLiteral("common/deviceCount");
inline const QString commonLanguage = QStringLiteral("common/language");
inline const QString commonName = QStringLiteral("common/name");
inline const QString mouseIcType = QStringLiteral("mouse/icType");
inline const QString mouseIsColorful = QStringLiteral("mouse/isColorful");
inline const QString mouseIsGun = QStringLiteral("mouse/isGun");
inline const QString mouseIs55328 = QStringLiteral("mouse/is55328");

// Per profile.
inline const QString mouseReportRate = QStringLiteral("mouse/reportRate");
inline const QString mouseCurrentDpiCount = QStringLiteral("mouse/currentDpiCount");
inline const QString mouseDpiValueArray = QStringLiteral("mouse/dpiValueArray");
inline const QString mouseKeyMatrix = QStringLiteral("mouseKeyMatrix/");
inline const QString mouseFwKeyMatrix = QStringLiteral("mouseFwKeyMatrix/");
inline const QString mouseMacroKey = QStringLiteral("mouseMacroKey/");
inline const QString xySensitive = QStringLiteral("XYSensitive/");
inline const QString selectGun = QStringLiteral("selectGun/");
} // namespace SettingKeys
