#pragma once

#include <QStringList>
#include <QVariant>

#include "filedialogs.h"

class SettingsStore;

// One settings file per macro, modules/macro/<name>.bin, holding the
// events ("macro/<i>", each a type digit, a comma and the event's text) and
// the repeat count, and the links from profiles 0..5 to macros by name. A
// name that cannot be a plain file name is answered as a missing macro, so
// nothing outside the macro folder is ever touched. Every call on a macro
// file opens it, works and closes it.
class MacroStore
{
public:
    explicit MacroStore(SettingsStore &settings) : m_settings(settings) {}

    static const QString fileFilter;
    // A corrupt event count must not make a load run away.
    static constexpr int maxEvents = 1024;

    // A new name (created, imported or renamed to) must be a portable file
    // name of at most 64 characters and not the name lists' sentinel, which
    // readers of a one-entry list drop.
    static constexpr int maxNameLength = 64;

    static bool isValidName(const QString &name);
    static bool isValidNewName(const QString &name);
    QString filePath(const QString &name) const;

    // Writes the values of a new macro (no events, played once), creating
    // the file if needed. False only for an invalid name or a failed write.
    bool create(const QString &name, uint macroIndex);
    // Replaces the events and repeat count of an existing macro.
    bool save(const QString &name, const QStringList &macros, const QVariant &repeat);
    // The events in order followed by the repeat count; empty when the macro
    // does not exist.
    QStringList load(const QString &name) const;
    bool remove(const QString &name);

    // Copies the user's chosen file in as macro `name`, never over an
    // existing macro (an existing macro counts as imported). A file over
    // StorePaths::maxFileSize is refused unread.
    ImportResult importMacro(const QString &name, FileDialogs &dialogs);
    // False only when the chosen target could not be written.
    bool exportMacro(const QString &name, FileDialogs &dialogs);

    // Points the slots of profiles 0..5 that name `oldName` to `newName`,
    // then renames the file. False, changing nothing, when the old macro
    // does not exist, the new name is not a valid new name or the file
    // cannot be renamed (a file of that name exists, the file system
    // refuses the name).
    bool rename(const QString &oldName, const QString &newName);
    // Gives every button of profiles 0..5 that plays macro `name` the
    // default profile's assignment.
    void unassign(const QString &name);

private:
    static constexpr int linkedProfiles = 6;
    static constexpr int buttonCount = 16;

    SettingsStore &m_settings;
};
