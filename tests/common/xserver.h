#pragma once

// An Xvfb of its own, with helpers to find windows, click and look as a user would.
#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <functional>
#include <xcb/xcb.h>

template<typename F> bool waitFor(F condition, int timeoutMs = 10000)
{
    for (QDeadlineTimer end(timeoutMs); !condition(); QTest::qWait(100))
        if (end.hasExpired())
            return false;
    return true;
}

class XServer
{
public:
    ~XServer() { stop(); } // trayer loses its display

    // Empty when it came up; else what is missing or went wrong.
    QString start(const QString &screen)
    {
        for (const char *tool : {"Xvfb", "xdotool"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return tool + QStringLiteral(" is missing (scripts/install-deps.sh installs it)");
        process.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", screen});
        while (!process.canReadLine())
            if (!process.waitForReadyRead(10000))
                return QStringLiteral("Xvfb did not report its display");
        display = ":" + QString::fromLatin1(process.readLine().trimmed());
        return {};
    }

    void stop() { process.terminate(), process.waitForFinished(5000); }

    // Its standard output lands in `output`.
    bool xdotool(const QStringList &arguments) const
    {
        QProcess tool;
        tool.start("env", QStringList{"DISPLAY=" + display, "xdotool"} + arguments);
        const bool ok = tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit &&
                        tool.exitCode() == 0;
        output = tool.readAllStandardOutput();
        return ok;
    }

    // The first visible window `search` (xdotool's words) finds that `which` takes.
    QRect window(const QStringList &search,
                 const std::function<bool(const QRect &)> &which = {}) const
    {
        xdotool(QStringList{"search", "--onlyvisible"} + search +
                QStringList{"getwindowgeometry", "--shell", "%@"});
        QMap<QString, int> v;
        for (const QString &line : QString::fromLatin1(output).split('\n')) {
            v.insert(line.section('=', 0, 0), line.section('=', 1).toInt());
            const QRect geometry(v["X"], v["Y"], v["WIDTH"], v["HEIGHT"]);
            if (line.startsWith("SCREEN=") && (!which || which(geometry)))
                return geometry;
        }
        return {};
    }

    bool click(const QPoint &at, int button = 1) const
    {
        return xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "sleep",
                        "0.15", "click", QString::number(button)});
    }

    QImage grab() const
    {
        xcb_connection_t *c = xcb_connect(qPrintable(display), nullptr);
        const xcb_screen_t *s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const int w = s->width_in_pixels, h = s->height_in_pixels;
        xcb_get_image_reply_t *reply = xcb_get_image_reply(
            c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, s->root, 0, 0, w, h, ~0u), nullptr);
        QImage image;
        if (reply && xcb_get_image_data_length(reply) >= w * h * 4)
            image = QImage(xcb_get_image_data(reply), w, h, w * 4, QImage::Format_RGB32).copy();
        free(reply);
        xcb_disconnect(c);
        return image;
    }

    // trayer as the tray host, started again should it fail to take the tray.
    QString startTrayHost(const QProcessEnvironment &env)
    {
        if (QStandardPaths::findExecutable("trayer").isEmpty())
            return "trayer is missing (scripts/install-deps.sh installs it)";
        for (int attempt = 0; attempt < 3 && !trayUp(); ++attempt) {
            tray.kill();
            tray.waitForFinished(5000);
            tray.setProcessEnvironment(env);
            tray.setProcessChannelMode(QProcess::MergedChannels); // its complaints, if any
            tray.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request",
                                  "--height", "24", "--SetDockType", "true"});
            waitFor([this] { return trayUp(); }, 15000);
        }
        return trayUp() ? QString()
                        : QStringLiteral("trayer did not come up (%1): %2")
                              .arg(tray.state() == QProcess::Running ? "running" : "ended",
                                   QString::fromLocal8Bit(tray.readAll()));
    }

    bool trayUp() const { return xdotool({"search", "--name", "^panel$"}); }
    QProcess process;
    QProcess tray;
    QString display;
    mutable QByteArray output;
};
