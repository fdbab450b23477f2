#pragma once

#include <QStringList>
#include <QVariantList>

// The user-visible name lists in name.bin: 0 macro names, 1 gun preset
// names, 2 profile entries, 3 gun selections. A one-entry list is stored
// with the sentinel appended, because the INI format would give a single
// entry back as a plain value; readers drop it. Every call opens the file,
// works and closes it.
class NameListFile
{
public:
    static const QString sentinel;

    // Replaces list `type`; an empty list removes it. Other types change
    // nothing.
    void update(uint type, QStringList names);
    // The stored list, sentinel included; empty for a missing list or an
    // unknown type.
    QVariantList read(uint type) const;

private:
    static QString keyFor(uint type);
};
