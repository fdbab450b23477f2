#pragma once

#include <QStringList>
#include <QVariantList>

#include "filereplace.h"

// The gun presets in gunData.bin, kept for the whole program. The screen
// stores whole records (name, key, period, X, Y, times) by list position;
// renaming stores the record without its name under the new name. The file
// is delivered with the program and never created: while it is missing,
// writes do nothing and reads are empty. Every call opens the file, works
// and closes it.
class GunDataFile
{
public:
    static constexpr int recordSize = 6;

    // The presets of the data folder `root`; `setAsideNotice` is told when
    // an oversized file is set aside.
    explicit GunDataFile(const QString &root, FileReplace::SetAsideNotice setAsideNotice = {});

    // Stores the first six values of `src6` under position `index`; a
    // shorter record stores nothing. False when the file could not be
    // written.
    bool saveRecord(const QString &index, const QVariantList &src6);
    // Type 0 deletes the entry named src6[0]. Type 1 takes the record
    // followed by the old name (seven values), deletes the old entry and
    // stores the record's values after the name under the new name. Short
    // lists, empty names and other types change nothing.
    void modify(int modifyType, const QVariantList &src6);
    QVariantList record(const QString &name) const;
    QStringList keys() const;

private:
    bool isPresent() const;
    static QString keyFor(const QString &name);
    static bool isUsableName(QString name);

    QString m_path;
    FileReplace::SetAsideNotice m_setAsideNotice;
};
