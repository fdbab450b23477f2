#include "qtfiledialogs.h"

#include <QDir>
#include <QStandardPaths>
#include <QWidget>
#include <QWindow>

QString QtFileDialogs::startFolder()
{
    // A folder that does not exist would come up as a file name instead.
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return !desktop.isEmpty() && QDir(desktop).exists() ? desktop : QDir::homePath();
}

std::unique_ptr<QFileDialog> QtFileDialogs::makeDialog(QFileDialog::AcceptMode mode,
                                                       const QString &filter) const
{
    const bool save = mode == QFileDialog::AcceptSave;
    auto dialog = std::make_unique<QFileDialog>(
        nullptr, save ? QStringLiteral("Save File") : QStringLiteral("Open File"), startFolder(),
        filter);
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
