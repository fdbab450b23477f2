#pragma once

// An Xvfb of its own: the server picks a free display and reports it. With
// helpers to find windows, click and look at the screen as a user would.
#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QTest>
#include <functional>
#include <xcb/xcb.h>

// Polls `condition` ten times a second.
template<typename F> bool waitFor(F condition, int timeoutMs = 10000)
{
    for (QDeadlineTimer end(timeoutMs); !condition(); QTest::qWait(100)) {
        if (end.hasExpired())
            return false;
    }
    return true;
}

class XServer
{
public:
    ~XServer()
    {
        tray.terminate();
        tray.waitForFinished(5000);
        stop();
    }

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

    // The first visible window `search` finds (xdotool's words) whose
    // geometry `which` takes (if given).
    QRect window(const QStringList &search,
                 const std::function<bool(const QRect &)> &which = {}) const
    {
        QByteArray shell;
        xdotool(QStringList{"search", "--onlyvisible"} + search +
                    QStringList{"getwindowgeometry", "--shell", "%@"},
                &shell);
        QMap<QString, int> v;
        for (const QString &line : QString::fromLatin1(shell).split('\n')) {
            v.insert(line.section('=', 0, 0), line.section('=', 1).toInt());
            const QRect geometry(v["X"], v["Y"], v["WIDTH"], v["HEIGHT"]);
            if (line.startsWith("SCREEN=") && (!which || which(geometry)))
                return geometry;
        }
        return {};
    }

    bool click(const QPoint &at, int button = 1) const
    {
        const bool moved = xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
        QTest::qWait(150);
        return moved && xdotool({"click", QString::number(button)});
    }

    QImage grab() const
    {
        xcb_connection_t *connection = xcb_connect(qPrintable(display), nullptr);
        xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const int w = screen->width_in_pixels, h = screen->height_in_pixels;
        xcb_get_image_reply_t *reply = xcb_get_image_reply(
            connection,
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0, w, h, ~0u),
            nullptr);
        QImage image;
        if (reply && xcb_get_image_data_length(reply) >= w * h * 4)
            image = QImage(xcb_get_image_data(reply), w, h, w * 4, QImage::Format_RGB32).copy();
        free(reply);
        xcb_disconnect(connection);
        return image;
    }

    // trayer as the tray host, started again should it fail to take the
    // tray; empty when it is up.
    QString startTrayHost(const QProcessEnvironment &env)
    {
        if (QStandardPaths::findExecutable("trayer").isEmpty())
            return "trayer is missing (scripts/install-deps.sh installs it)";
        const auto up = [this] {
            return xdotool({"search", "--name", "^panel$"});
        };
        QByteArray output;
        for (int attempt = 0; attempt < 3 && !up(); ++attempt) {
            tray.kill();
            tray.waitForFinished(5000);
            output += tray.readAll();
            tray.setProcessEnvironment(env);
            tray.setProcessChannelMode(QProcess::MergedChannels);
            tray.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request",
                                  "--height", "24", "--SetDockType", "true"});
            waitFor(up, 15000);
        }
        return up() ? QString() : "trayer did not come up: " + output + tray.readAll();
    }

    QProcess process;
    QProcess tray;
    QString display;
};
