#include "autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace {
// Exec quoting of desktop entries: the whole path in double quotes, with
// the characters that are special inside them escaped; the entry's own
// string escaping then doubles every backslash.
QString quotedExec(const QString &path)
{
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('\\'))
            quoted += QLatin1String("\\\\\\\\");
        else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QLatin1String("\\\\") + c;
        else
            quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
} // namespace

QString Autostart::entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/org.example.SkarnConfig.desktop");
}

bool Autostart::isEnabled()
{
    if (!QFileInfo::exists(entryPath()))
        return false;
    const QSettings entry(entryPath(), QSettings::IniFormat);
    return entry.value(QStringLiteral("Desktop Entry/Hidden")).toString() != QLatin1String("true");
}

QByteArray Autostart::entry(const QString &executable)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Skarn Config\n"
           "Comment=Starts Skarn Config in the system tray\n"
           "Exec=" +
           quotedExec(executable).toUtf8() +
           " --hidden\n"
           "Icon=skarn-config\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool Autostart::setEnabled(bool enabled, const QString &executable)
{
    const QString path = entryPath();
    if (!enabled)
        return !QFileInfo::exists(path) || QFile::remove(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    // Flushed first: Qt's commit misses a write error of its own flush and
    // would put the part written in the entry's place.
    return file.open(QIODevice::WriteOnly) && file.write(entry(executable)) >= 0 && file.flush() &&
           file.commit();
}
