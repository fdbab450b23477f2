#include "langstrings.h"

#include "filename.h"
#include "filereplace.h"
#include "storepaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>

// An unquoted text with commas reads back as a list; give it back whole.
static QString text(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

QString LangStrings::filePath(const QString &root, const QString &langCode)
{
    return StorePaths::in(root, StorePaths::languageFolder) + langCode + QStringLiteral(".ini");
}

QStringList LangStrings::read(const QString &root, const QString &typeStr, const QString &langCode,
                              const FileReplace::SetAsideNotice &notice)
{
    QStringList texts = readFile(root, typeStr, langCode, notice);
    // What the language lacks shows in English rather than as an empty label;
    // a whole group needs no second file.
    const bool whole = !texts.isEmpty() && !texts.contains(QString());
    if (whole || langCode == english || !FileName::isPlain(langCode))
        return texts;
    const QStringList fallback = readFile(root, typeStr, english, notice);
    for (qsizetype i = 0; i < fallback.size(); ++i) {
        if (i == texts.size())
            texts.append(fallback.at(i));
        else if (texts.at(i).isEmpty())
            texts[i] = fallback.at(i);
    }
    return texts;
}

QList<LangStrings::Language> LangStrings::languages(const QString &root)
{
    QList<Language> found;
    const QDir folder(StorePaths::in(root, StorePaths::languageFolder));
    for (const QFileInfo &file : folder.entryInfoList({QStringLiteral("*.ini")}, QDir::Files)) {
        const QString code = file.completeBaseName();
        if (!FileName::isPlain(code))
            continue;
        const QString name =
            readFile(root, QStringLiteral("language"), code, {}).value(0).trimmed();
        found.append({code, name.isEmpty() ? code : name});
    }
    std::sort(found.begin(), found.end(), [](const Language &a, const Language &b) {
        return a.name.localeAwareCompare(b.name) < 0;
    });
    return found;
}

QStringList LangStrings::readFile(const QString &root, const QString &typeStr,
                                  const QString &langCode,
                                  const FileReplace::SetAsideNotice &notice)
{
    QStringList texts;
    if (!FileName::isPlain(langCode))
        return texts;
    // An oversized file is set aside unread; the scene keeps its own texts.
    FileReplace::setAsideIfDamaged(filePath(root, langCode), QString(), notice);
    if (!QFileInfo(filePath(root, langCode)).isFile())
        return texts;

    // Qt reads INI files as UTF-8.
    QSettings file(filePath(root, langCode), QSettings::IniFormat);
    file.beginGroup(typeStr);
    // An unreadable count reads as 0.
    const int total =
        std::clamp(file.value(QStringLiteral("total")).toString().trimmed().toInt(), 0, maxTotal);
    texts.reserve(total);
    for (int i = 0; i < total; ++i)
        texts.append(text(file.value(QString::number(i))));
    file.endGroup();
    return texts;
}
