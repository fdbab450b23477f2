#pragma once

// An Xvfb of its own: the server picks a free display and reports it.
#include <QProcess>
#include <QStandardPaths>

class XServer
{
public:
    ~XServer() { stop(); }

    // Empty when it came up; else what is missing or went wrong.
    QString start(const QString &screen)
    {
        for (const char *tool : {"Xvfb", "xdotool"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return QStringLiteral("%1 is missing (scripts/install-deps.sh installs it)")
                    .arg(tool);
        }
        process.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", screen});
        while (!process.canReadLine()) {
            if (!process.waitForReadyRead(10000))
                return QStringLiteral("Xvfb did not report its display");
        }
        display = ":" + QString::fromLatin1(process.readLine().trimmed());
        return {};
    }

    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        process.waitForFinished(5000);
    }

    bool xdotool(const QStringList &arguments, QByteArray *output = nullptr) const
    {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        tool.setProcessEnvironment(env);
        tool.start("xdotool", arguments);
        const bool ok = tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit &&
                        tool.exitCode() == 0;
        if (output)
            *output = tool.readAllStandardOutput();
        return ok;
    }

    QProcess process;
    QString display;
};
