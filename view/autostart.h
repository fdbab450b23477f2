#pragma once

#include <QString>

// The desktop's autostart entry of this program
// ($XDG_CONFIG_HOME/autostart/<app id>.desktop): present, the desktop
// starts the program in the tray at login.
namespace Autostart {
QString entryPath();
// The entry exists and the desktop has not switched it off (Hidden=true).
bool isEnabled();
// Writes the entry starting `executable` with --hidden, or removes it.
// True when the entry is now as asked.
bool setEnabled(bool enabled, const QString &executable);
// The entry's text for `executable`.
QByteArray entry(const QString &executable);
} // namespace Autostart
