#include "qtfiledialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QWidget>
#include <QWindow>

QString QtFileDialogs::startFolder()
{
    // A folder that does not exist would come up as a file name instead.
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return !desktop.isEmpty() && QDir(desktop).exists() ? desktop : QDir::homePath();
}

void QtFileDialogs::translateQt(const QString &locale) const
{
    if (locale == m_qtLocale)
        return;
    m_qtTexts.reset(); // a translator takes itself out of the application as it goes
    m_qtLocale = locale;
    // Without the system's translation (or for English) Qt's English stays.
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get()))
        m_qtTexts = std::move(translator);
}

std::unique_ptr<QFileDialog> QtFileDialogs::makeDialog(QFileDialog::AcceptMode mode,
                                                       const QString &filter) const
{
    static const char *const english[] = {"Open File", "Save File", "Profile", "Macro"};
    const QStringList texts = m_texts ? m_texts() : QStringList();
    const auto text = [&texts](int i) {
        const QString text = texts.value(i);
        return text.isEmpty() ? QString::fromLatin1(english[i]) : text;
    };
    // The type's name comes before its patterns: "Profile(*.pf)".
    const QString type = filter.section(QLatin1Char('('), 0, 0);
    QString shownFilter = filter;
    for (int i : {2, 3}) {
        if (type == QLatin1String(english[i]))
            shownFilter = text(i) + filter.mid(type.size());
    }
    translateQt(texts.value(4, QStringLiteral("en")));
    const bool save = mode == QFileDialog::AcceptSave;
    auto dialog =
        std::make_unique<QFileDialog>(nullptr, text(save ? 1 : 0), startFolder(), shownFilter);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::ApplicationModal);
    if (QWidget *window = m_parent ? m_parent->window() : nullptr) {
        dialog->winId();
        if (dialog->windowHandle() && window->windowHandle())
            dialog->windowHandle()->setTransientParent(window->windowHandle());
        dialog->adjustSize();
        dialog->move(window->geometry().center() - dialog->rect().center());
    }
    return dialog;
}

QString QtFileDialogs::run(QFileDialog::AcceptMode mode, const QString &filter) const
{
    const std::unique_ptr<QFileDialog> dialog = makeDialog(mode, filter);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->selectedFiles().value(0);
}

QString QtFileDialogs::openFileName(const QString &filter)
{
    return run(QFileDialog::AcceptOpen, filter);
}

QString QtFileDialogs::saveFileName(const QString &filter)
{
    return withFilterSuffix(run(QFileDialog::AcceptSave, filter), filter);
}
