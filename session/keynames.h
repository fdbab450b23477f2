#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The key name table: one byte per key (the USB HID keyboard usage, F0H to
// F4H for the mouse's own buttons) and its display name, index for index.
// Macros are stored with the names, so the names of the language in use
// turn them back into codes.
class KeyNames
{
public:
    // The built-in names.
    KeyNames();
    // The names of `language` over the built-in ones, index for index, from
    // the language files of the data folder `root`.
    static KeyNames forLanguage(const QString &root, const QString &language);

    static const QList<int> &codes();
    const QStringList &names() const { return m_names; }

    // Both stop at the first match, so the lower code wins where two entries
    // share a name: "" for a code without a name, 0 for a name without a code.
    // A name this language lacks is looked up in the built-in names and then
    // in the other language files: a macro recorded before the language was
    // changed keeps its keys.
    QString name(int code) const;
    int code(const QString &name) const;

private:
    static int codeIn(const QStringList &names, const QString &name);

    QStringList m_names;
    QString m_root;
    mutable std::optional<QList<QStringList>> m_otherNames;
};
