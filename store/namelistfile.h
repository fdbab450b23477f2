#pragma once

#include <QStringList>
#include <QVariant>

#include "filereplace.h"

// The user-visible name lists in name.bin: 0 macro names, 1 gun preset
// names, 2 profile entries, 3 gun selections. A one-entry list is stored
// with the sentinel appended, because the INI format would give a single
// entry back as a plain value; readers drop it. Every call opens the file,
// works and closes it.
class NameListFile
{
public:
    static const QString sentinel;

    // The lists of the data folder `root`; `setAsideNotice` is told when an
    // oversized file is set aside.
    explicit NameListFile(const QString &root, FileReplace::SetAsideNotice setAsideNotice = {});

    // `type` is read as an unsigned number; anything else is an unknown type.
    // Replaces list `type`; an empty list removes it. Unknown types change
    // nothing. False when the file could not be written.
    bool update(const QVariant &type, QStringList names);
    // The stored list, sentinel included; empty for a missing list or an
    // unknown type.
    QVariantList read(const QVariant &type) const;

private:
    static QString keyFor(const QVariant &type);

    QString m_path;
    FileReplace::SetAsideNotice m_setAsideNotice;
};
