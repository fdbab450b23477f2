#pragma once

#include <QString>

// Every data path is relative to the data folder, the root the store is given.
namespace StorePaths {
inline const QString globalSettings = QStringLiteral("modules/setting/apConfig.bin");
inline const QString factoryGlobalSettings = QStringLiteral("modules/setting/apConfigD.bin");
inline const QString defaultProfile = QStringLiteral("modules/setting/pD.bin");
inline const QString nameLists = QStringLiteral("modules/setting/name.bin");
inline const QString gunData = QStringLiteral("modules/gun/gunData.bin");
inline const QString macroFolder = QStringLiteral("modules/macro/");
inline const QString languageFolder = QStringLiteral("modules/i18n/");
inline const QString trayIcon = QStringLiteral("modules/img/logo.ico");

constexpr int profileCount = 10;

// Far above any real data file: anything larger is damaged or foreign and is
// never read whole.
constexpr qint64 maxFileSize = 1024 * 1024;

// Profile n (0..9) lives in p<n+1>.bin.
inline QString profile(int n)
{
    return QStringLiteral("modules/setting/p%1.bin").arg(n + 1);
}

// `relative` in the data folder `root`.
inline QString in(const QString &root, const QString &relative)
{
    return root + QLatin1Char('/') + relative;
}
} // namespace StorePaths
