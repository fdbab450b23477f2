#pragma once

#include "filedialogs.h"

class QWidget;

// Qt's standard modal file dialogs, parented to `parent` and starting in
// the user's desktop folder.
class QtFileDialogs : public FileDialogs
{
public:
    explicit QtFileDialogs(QWidget *parent) : m_parent(parent) {}

    QString openFileName(const QString &filter) override;
    QString saveFileName(const QString &filter) override;

private:
    QWidget *m_parent;
};
