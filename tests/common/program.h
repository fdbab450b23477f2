#pragma once

// The real skarn-config from a temporary portable folder (by default), on the virtual mouse
// of family 553 whose record lands in the folder.
#include "testdatafolder.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <memory>
#include <tuple>

class Program
{
public:
    // An empty `modules` runs `exe` where it is, without a portable folder.
    explicit Program(const QString &exe = SKARN_EXECUTABLE,
                     const QString &modules = TestDataFolder::factoryModules())
        : exe(modules.isEmpty() ? exe : dir.filePath("skarn-config")),
          env(QProcessEnvironment::systemEnvironment())
    {
        if (!modules.isEmpty()) {
            QFile::copy(exe, this->exe);
            QFile::setPermissions(this->exe, QFile::permissions(this->exe) | QFile::ExeOwner);
            // The window's library goes along, from beside the program or
            // from where an installation puts it.
            const QString from = QFileInfo(exe).absolutePath();
            for (const QString &folder : {from, from + "/" SKARN_GUI_RELATIVE})
                if (QFile::copy(folder + "/libskarn-config-gui.so",
                                dir.filePath("libskarn-config-gui.so")))
                    break;
            TestDataFolder::copyTree(modules, dir.filePath("modules"));
        }
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("GSETTINGS_BACKEND", "memory");
        env.insert("SKARN_VIRTUAL_MOUSE", "553");
        env.insert("SKARN_VIRTUAL_MOUSE_RECORD", dir.filePath("mouse.log"));
    }

    QString filePath(const QString &relative) const { return dir.filePath(relative); }
    QByteArray read(const QString &relative) const
    {
        QFile file(filePath(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<QProcess> start(const QStringList &args, bool merged = true) const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(merged ? QProcess::MergedChannels
                                              : QProcess::SeparateChannels);
        process->setWorkingDirectory(dir.path());
        process->start(exe, args);
        return process;
    }

    // The exit code (-1 on a crash or after a minute), output and errors.
    std::tuple<int, QByteArray, QByteArray> run(const QStringList &args) const
    {
        const auto process = start(args, false);
        const bool ended = process->waitForFinished(60000);
        return {ended && process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
                process->readAllStandardOutput(), process->readAllStandardError()};
    }

    static bool waitForOutput(QProcess &process, QByteArray &output, const QByteArray &text,
                              int timeoutMs = 20000)
    {
        for (QDeadlineTimer end(timeoutMs);
             !output.contains(text) && !end.hasExpired() && process.state() != QProcess::NotRunning;
             output += process.readAll())
            process.waitForReadyRead(100);
        output += process.readAll();
        return output.contains(text);
    }

    static int stop(QProcess &process)
    {
        process.terminate();
        if (!process.waitForFinished(10000))
            process.kill();
        process.waitForFinished(2000);
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // The mouse's record ("feature|output <hex>") from line `from` on.
    QStringList record(int from = 0) const
    {
        QStringList lines;
        for (const QByteArray &line : read("mouse.log").split('\n'))
            lines << QString::fromLatin1(line.mid(line.indexOf(' ') + 1));
        return lines.mid(from, lines.size() - from - 1);
    }

    // "silent N", "unplug", "plug", "none"; whole at once: the program reads it on sight.
    bool setMouseFault(const QByteArray &fault) const
    {
        QSaveFile file(filePath("mouse.log.fault"));
        return file.open(QIODevice::WriteOnly) && file.write(fault) >= 0 && file.commit();
    }

    QTemporaryDir dir;
    QString exe;
    QProcessEnvironment env;
};
