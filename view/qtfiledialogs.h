#pragma once

#include "filedialogs.h"

#include <QFileDialog>
#include <QTranslator>
#include <functional>
#include <memory>

class QWidget;

// Qt's standard modal file dialogs over the main window, starting in the
// user's desktop folder (the home folder where there is none).
class QtFileDialogs : public FileDialogs
{
public:
    // The texts of the language in use: the open and save titles, the names
    // of the "Profile" and "Macro" file types, then the language's locale
    // ("de", "pt_BR"), which picks Qt's own texts for the dialog's buttons.
    using Texts = std::function<QStringList()>;

    explicit QtFileDialogs(QWidget *parent, Texts texts = {})
        : m_parent(parent), m_texts(std::move(texts))
    {}

    QString openFileName(const QString &filter) override;
    QString saveFileName(const QString &filter) override;

    // The dialog as it is shown: a window of its own, so that the see-through
    // main window's style does not reach it, kept above that window.
    std::unique_ptr<QFileDialog> makeDialog(QFileDialog::AcceptMode mode,
                                            const QString &filter) const;
    static QString startFolder();

private:
    QString run(QFileDialog::AcceptMode mode, const QString &filter) const;

    // Qt's translation for `locale`, in place of the one loaded before.
    void translateQt(const QString &locale) const;

    QWidget *m_parent;
    Texts m_texts;
    mutable std::unique_ptr<QTranslator> m_qtTexts;
    mutable QString m_qtLocale = QStringLiteral("en");
};
