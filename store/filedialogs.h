#pragma once

#include <QString>

// The user's choice of a file to import or a target to export to. Behind an
// interface so that the store never opens a window on its own and tests can
// answer for the user.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // `filter` is the file type offered, for example "Profile(*.pf)". An
    // empty result means the user cancelled.
    virtual QString openFileName(const QString &filter) = 0;
    virtual QString saveFileName(const QString &filter) = 0;
};
