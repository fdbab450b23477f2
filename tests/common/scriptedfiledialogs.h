#pragma once

#include "filedialogs.h"

#include <QStringList>

// Answers file dialogs with prepared paths; an empty answer (or none left)
// is a cancel. Records every dialog asked for as "open <filter>" or
// "save <filter>".
class ScriptedFileDialogs : public FileDialogs
{
public:
    explicit ScriptedFileDialogs(QStringList answers = {}) : m_answers(std::move(answers)) {}

    QString openFileName(const QString &filter) override { return answer("open ", filter); }
    QString saveFileName(const QString &filter) override { return answer("save ", filter); }

    QStringList asked;

private:
    QString answer(const char *kind, const QString &filter)
    {
        asked.append(QLatin1String(kind) + filter);
        return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    }

    QStringList m_answers;
};
