#pragma once

#include <QList>
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

    static inline const QString english = QStringLiteral("English");

    // min(total, maxTotal) entries. Where the language's file lacks a text
    // (an empty or missing key, a missing group or file) the texts are
    // English's, at least as many as English has, else empty. A language
    // code that cannot be a plain file name gives an empty list. An oversized
    // file is set aside unread and `notice` told.
    static QStringList read(const QString &root, const QString &typeStr, const QString &langCode,
                            const FileReplace::SetAsideNotice &notice = {});

    // The language files of the data folder, each with its own name (group
    // "language"; the file's name where it has none), in the order of those
    // names.
    struct Language
    {
        QString code;
        QString name;
    };
    static QList<Language> languages(const QString &root);

    static QString filePath(const QString &root, const QString &langCode);

private:
    // The file's own texts only.
    static QStringList readFile(const QString &root, const QString &typeStr,
                                const QString &langCode, const FileReplace::SetAsideNotice &notice);
};
