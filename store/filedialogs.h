#pragma once

#include <QString>

// The user's choice of a file to import or a target to export to. Behind an
// interface so that the store never opens a window on its own and tests can
// answer for the user.
// How an import through the user's file choice ended.
enum class ImportResult { Imported, Cancelled, TooLarge, Failed };

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // `filter` is the file type offered, for example "Profile(*.pf)". An
    // empty result means the user cancelled.
    virtual QString openFileName(const QString &filter) = 0;
    virtual QString saveFileName(const QString &filter) = 0;

    // `chosen` with `suffix` (".pf") appended when the user typed no suffix,
    // so that the exported file shows up in the import dialog's filter.
    static QString withSuffix(const QString &chosen, const QString &suffix);
};
