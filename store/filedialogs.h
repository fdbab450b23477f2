#pragma once

#include <QString>

// The user's choice of a file to import or a target to export to. Behind an
// interface so that the store never opens a window on its own and tests can
// answer for the user.
// How an import through the user's file choice ended.
// NotWritten: a sound file the data folder did not take (read-only, full).
enum class ImportResult { Imported, Cancelled, TooLarge, Failed, NotWritten };

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // `filter` is the file type offered, for example "Profile(*.pf)". An
    // empty result means the user cancelled; otherwise it is the file to
    // use, exactly (a dialog adds the filter's suffix to a name typed
    // without one, a path given on the command line is taken as it is).
    virtual QString openFileName(const QString &filter) = 0;
    virtual QString saveFileName(const QString &filter) = 0;

    // `chosen` with the suffix of `filter` (".pf" of "Profile(*.pf)")
    // appended when it has none, so that an exported file shows up in the
    // import dialog's filter.
    static QString withFilterSuffix(const QString &chosen, const QString &filter);
};
