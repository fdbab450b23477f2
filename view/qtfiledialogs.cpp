#include "qtfiledialogs.h"

#include <QFileDialog>
#include <QStandardPaths>

namespace {
QString desktop()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}
} // namespace

QString QtFileDialogs::openFileName(const QString &filter)
{
    return QFileDialog::getOpenFileName(m_parent, QStringLiteral("Open File"), desktop(), filter);
}

QString QtFileDialogs::saveFileName(const QString &filter)
{
    return QFileDialog::getSaveFileName(m_parent, QStringLiteral("Save File"), desktop(), filter);
}
