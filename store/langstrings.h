#pragma once

#include <QString>
#include <QStringList>

#include "filereplace.h"

// Reads one group of texts from a language file (modules/i18n/<code>.ini in
// the data folder, UTF-8 INI): `total` gives the count, keys 0 .. total-1
// the texts.
class LangStrings
{
public:
    // A corrupt count must not exhaust memory.
    static constexpr int maxTotal = 1024;

    // Always exactly min(total, maxTotal) entries; missing keys give empty
    // texts. A missing file or group, or a language code that cannot be a
    // plain file name, gives an empty list. An oversized file is set aside
    // unread and `notice` told.
    static QStringList read(const QString &root, const QString &typeStr, const QString &langCode,
                            const FileReplace::SetAsideNotice &notice = {});

    static QString filePath(const QString &root, const QString &langCode);
};
