#pragma once

#include <QCoreApplication>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

// A temporary copy of the factory data folder, made current for the
// lifetime of the object; the previous current directory comes back after.
class TestDataFolder
{
public:
    TestDataFolder();
    ~TestDataFolder();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &relative) const { return m_dir.filePath(relative); }

    QByteArray read(const QString &relative) const;
    void write(const QString &relative, const QByteArray &content) const;
    // Every file below the folder, by relative path, with its content.
    QMap<QString, QByteArray> snapshot() const;

    // Lets released settings objects go, as the next return to the event
    // loop would.
    static void releaseDeferred()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static QString factoryModules() { return QStringLiteral(SKARN_FACTORY_MODULES_DIR); }
    static void copyTree(const QString &from, const QString &to);

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
